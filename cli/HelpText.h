#pragma once

#include "Command.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace CLI {
class App;
}

namespace cli {

// The help of statwright-cli, made from what each command declares: its usage line from its
// arguments and options, then its explanation; the program's help lists every command.
class HelpText {
public:
    // Registers `command`, whose arguments and options are declared on `declared`.
    void add(const Command& command, const CLI::App& declared);

    // The help of the program for "", of a command by its name, or nothing.
    [[nodiscard]] std::optional<std::string> of(std::string_view topic) const;

private:
    struct Entry {
        const Command* command;
        std::string usage; // "export IMAGE [-f|--format csv|json] [-o|--output FILE]"
    };
    [[nodiscard]] std::string program() const;

    std::vector<Entry> m_entries;
};

} // namespace cli
