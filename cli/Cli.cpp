#include "Cli.h"

#include "Commands.h"
#include "Help.h"

#include <CLI/CLI.hpp>

#include "DescriptorOutput.h"

#include <algorithm>
#include <cstring>
#include <iostream>

namespace cli {
namespace {

// The command line, as CLI11 reads it into the arguments of each command.
class Parser {
public:
    Parser() {
        m_app.set_help_flag("-h,--help");
        m_app.require_subcommand(1);
        add("identify")->add_option("IMAGE", m_image)->required();

        CLI::App* exporter = add("export");
        exporter->add_option("IMAGE", m_export.image)->required();
        exporter->add_option("-f,--format", m_export.format);
        exporter->add_option("-o,--output", m_export.output);

        CLI::App* importer = add("import");
        importer->add_option("IMAGE", m_import.image)->required();
        importer->add_option("FILE", m_import.table)->required();
        importer->add_option("-f,--format", m_import.format);
        importer->add_flag("-n,--dry-run", m_import.dryRun)->disable_flag_override();

        CLI::App* differ = add("diff");
        differ->add_option("IMAGE_A", m_image)->required();
        differ->add_option("IMAGE_B", m_second)->required();

        add("check")->add_option("IMAGE", m_image)->required();

        CLI::App* sampler = add("sample");
        sampler->add_option("OUT", m_image)->required();
        sampler->add_option("-c,--code", m_code);

        // Whatever follows is the topic, even a command's name.
        m_help = add("help");
        m_help->prefix_command();
    }

    // Parses `arguments`; throws CLI11's errors.
    void parse(const std::vector<std::string>& arguments) {
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        m_app.parse(reversed);
    }

    [[nodiscard]] bool knows(const std::string& command) const {
        for (const CLI::App* known : m_app.get_subcommands({}))
            if (known->get_name() == command)
                return true;
        return false;
    }

    // The command named so far, or "" (also when parsing stopped for --help).
    [[nodiscard]] std::string command() const {
        const std::vector<CLI::App*> named = m_app.get_subcommands();
        return named.empty() ? std::string() : named.front()->get_name();
    }

    ExitCode run(Commands& commands, std::ostream& out) const {
        const std::string name = command();
        if (name == "identify")
            return commands.identify(m_image);
        if (name == "export")
            return commands.exportTable(m_export);
        if (name == "import")
            return commands.importTable(m_import);
        if (name == "diff")
            return commands.diff(m_image, m_second);
        if (name == "check")
            return commands.check(m_image);
        if (name == "sample")
            return commands.sample(m_image, m_code);
        const std::vector<std::string> topic = m_help->remaining();
        if (topic.size() > 1)
            return commands.usage("help", "expects at most one command");
        const std::string wanted = topic.empty() ? "" : topic.front();
        const std::optional<std::string_view> help = helpText(wanted);
        if (!help)
            return commands.usage("help", "no command named '" + wanted + "'");
        out << *help;
        return ExitCode::Success;
    }

private:
    CLI::App* add(const char* name) { return m_app.add_subcommand(name); }

    CLI::App m_app{"", "statwright-cli"};
    std::string m_image;
    std::string m_second;
    std::string m_code = "ADAE";
    CLI::App* m_help = nullptr;
    ExportOptions m_export;
    ImportOptions m_import;
};

} // namespace

int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
        files::SysIo& io) {
    Commands commands(out, err, io);
    if (arguments.empty()) {
        err << *helpText("");
        return int(ExitCode::Usage);
    }
    Parser parser;
    const std::string& first = arguments.front();
    if (!first.starts_with('-') && !parser.knows(first))
        return int(commands.usage("", "unknown command '" + first + "'"));

    try {
        parser.parse(arguments);
    } catch (const CLI::CallForHelp&) {
        out << *helpText(parser.command());
        return int(ExitCode::Success);
    } catch (const CLI::ParseError& error) {
        return int(commands.usage(parser.command(), error.what()));
    }
    return int(parser.run(commands, out));
}

int runOnStandardStreams(const std::vector<std::string>& arguments, files::SysIo& io) {
    files::DescriptorOutput output(io, files::kStandardOutput);
    std::ostream out(&output);
    int status = run(arguments, out, std::cerr, io);
    if (const int error = output.finish(); error != 0) {
        std::cerr << "statwright-cli: Could not write to standard output: " << std::strerror(error)
                  << "\n";
        if (status == int(ExitCode::Success))
            status = int(ExitCode::IoFailure);
    }
    return status;
}

} // namespace cli
