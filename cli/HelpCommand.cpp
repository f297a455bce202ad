#include "Commands.h"
#include "HelpText.h"

#include <CLI/CLI.hpp>

namespace cli {
namespace {

class HelpCommand final : public Command {
public:
    explicit HelpCommand(const HelpText& help) : m_help(help) {}

    std::string_view name() const override { return "help"; }
    std::string_view summary() const override { return "this text, or a command's"; }
    std::string explanation() const override {
        return R"(Prints what statwright-cli does and its commands, or, with COMMAND, that command's
usage and what it does.
)";
    }
    void declare(CLI::App& command) override {
        command.add_option("COMMAND", m_topic);
        // Whatever follows is collected, so that a second topic is refused in words.
        command.prefix_command();
        m_command = &command;
    }

    base::Status run(const Context& context) override {
        if (!m_command->remaining().empty())
            return base::Error::at(base::Error::Kind::Usage, "", 0, "",
                                   "expects at most one command");
        const std::optional<std::string> text = m_help.of(m_topic);
        if (!text)
            return base::Error::at(base::Error::Kind::Usage, "", 0, "",
                                   "no command named '" + m_topic + "'");
        context.out << *text;
        return {};
    }

private:
    const HelpText& m_help;
    std::string m_topic;
    const CLI::App* m_command = nullptr;
};

} // namespace

std::unique_ptr<Command> makeHelpCommand(const HelpText& help) {
    return std::make_unique<HelpCommand>(help);
}

} // namespace cli
