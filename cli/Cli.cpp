#include "Cli.h"

#include "Commands.h"
#include "ExitCode.h"
#include "HelpText.h"

#include "base/Text.h"
#include "files/DescriptorOutput.h"

#include <CLI/CLI.hpp>

#include <cstring>
#include <iostream>
#include <map>

namespace cli {

std::unique_ptr<Command> makeHelpCommand(const HelpText& help);

std::vector<std::unique_ptr<Command>> allCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(makeIdentifyCommand());
    commands.push_back(makeExportCommand());
    commands.push_back(makeImportCommand());
    commands.push_back(makeDiffCommand());
    commands.push_back(makeApplyCommand());
    commands.push_back(makeCheckCommand());
    commands.push_back(makeSampleCommand());
    return commands;
}

namespace {

// The exit status that a failure earns, for every command alike.
ExitCode exitCodeOf(const base::Error& error) {
    switch (error.kind) {
    case base::Error::Kind::Usage:
        return ExitCode::Usage;
    case base::Error::Kind::System:
    case base::Error::Kind::NotOwner:
    case base::Error::Kind::Refused:
    case base::Error::Kind::OutsideFile:
        return ExitCode::IoFailure;
    case base::Error::Kind::PastEnd:
    case base::Error::Kind::NotRegularFile:
    case base::Error::Kind::BadContent:
    case base::Error::Kind::NotAnImage:
    case base::Error::Kind::Unsupported:
    case base::Error::Kind::InvalidInput:
        break;
    }
    return ExitCode::InvalidData;
}

// The command line: every command declared on its own part of it, and matched by CLI11.
class Program {
public:
    Program() : m_commands(allCommands()) {
        m_app.set_help_flag("-h,--help");
        m_app.require_subcommand(1);
        m_commands.push_back(makeHelpCommand(m_help));
        for (const std::unique_ptr<Command>& command : m_commands) {
            CLI::App* declared = m_app.add_subcommand(std::string(command->name()));
            command->declare(*declared);
            m_help.add(*command, *declared);
            m_byPart.emplace(declared, command.get());
        }
    }

    int run(const std::vector<std::string>& arguments, const Context& context) {
        if (arguments.empty()) {
            context.err << *m_help.of("");
            return int(ExitCode::Usage);
        }
        const std::string& first = arguments.front();
        if (!first.starts_with('-') && !knows(first))
            return fail(context, "", usage("unknown command '" + first + "'" + nearest(first)));
        try {
            // CLI11 takes the arguments last first.
            m_app.parse(std::vector<std::string>(arguments.rbegin(), arguments.rend()));
        } catch (const CLI::CallForHelp&) {
            context.out << *m_help.of(matched() ? matched()->name() : "");
            return int(ExitCode::Success);
        } catch (const CLI::ParseError& error) {
            return fail(context, matched() ? matched()->name() : "", usage(error.what()));
        }
        const base::Status status = matched()->run(context);
        return status.ok() ? int(ExitCode::Success)
                           : fail(context, matched()->name(), status.error());
    }

private:
    static base::Error usage(const std::string& message) {
        return base::Error::at(base::Error::Kind::Usage, "", 0, "", message);
    }

    // "; did you mean 'export'?": the commands a letter or two away from `name`.
    [[nodiscard]] std::string nearest(const std::string& name) const {
        std::string near;
        for (const std::unique_ptr<Command>& command : m_commands)
            if (base::editDistance(name, command->name()) <= 2)
                near += (near.empty() ? "" : " or ") + ("'" + std::string(command->name()) + "'");
        return near.empty() ? "" : "; did you mean " + near + "?";
    }

    [[nodiscard]] bool knows(const std::string& name) const {
        for (const std::unique_ptr<Command>& command : m_commands)
            if (command->name() == name)
                return true;
        return false;
    }

    // The command that CLI11 matched, or nullptr (before parsing, or for the program's help).
    [[nodiscard]] Command* matched() const {
        const std::vector<CLI::App*> named = m_app.get_subcommands();
        return named.empty() ? nullptr : m_byPart.at(named.front());
    }

    // Says what went wrong; a mistake on the command line also says where to read more.
    static int fail(const Context& context, std::string_view command, const base::Error& error) {
        context.err << "statwright-cli: ";
        if (error.kind != base::Error::Kind::Usage) {
            context.err << error.describe() << "\n";
            return int(exitCodeOf(error));
        }
        const std::string named = command.empty() ? "" : std::string(command) + " ";
        context.err << (command.empty() ? "" : std::string(command) + ": ")
                    << base::printable(error.reason) << "\nTry 'statwright-cli " << named
                    << "--help'.\n";
        return int(ExitCode::Usage);
    }

    std::vector<std::unique_ptr<Command>> m_commands;
    HelpText m_help;
    CLI::App m_app{"", "statwright-cli"};
    std::map<const CLI::App*, Command*> m_byPart;
};

} // namespace

int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
        files::SysIo& io) {
    Program program;
    OpenNotices notices;
    return program.run(arguments, Context{out, err, io, [] { return 0; }, notices});
}

int runOnStandardStreams(const std::vector<std::string>& arguments, files::SysIo& io) {
    files::DescriptorOutput output(io, files::kStandardOutput);
    std::ostream out(&output);
    Program program;
    OpenNotices notices;
    int status = program.run(
        arguments, Context{out, std::cerr, io, [&output] { return output.error(); }, notices});
    if (const int error = output.finish(); error != 0) {
        std::cerr << "statwright-cli: Could not write to standard output: " << std::strerror(error)
                  << "\n";
        if (status == int(ExitCode::Success))
            status = int(ExitCode::IoFailure);
    }
    return status;
}

} // namespace cli
