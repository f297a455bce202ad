#include "HelpText.h"

#include <CLI/CLI.hpp>

namespace cli {
namespace {

constexpr std::string_view kProgram = "statwright-cli";
constexpr std::size_t kSummaryColumn = 37;

constexpr std::string_view kIntroduction =
    R"(Reads and changes the base stats of all entries of a Pokémon Diamond, Pearl, Platinum,
HeartGold or SoulSilver ROM image of any region at once, with the same layout, rules and
write path as Statwright. The table is the one the game reads, found through the image's
own file system.
)";

constexpr std::string_view kExitStatus =
    R"(Exit status: 0 success, 1 invalid data or a failed check, 2 wrong usage,
3 a file could not be read or written.
)";

// "export IMAGE [-f|--format csv|json] [-o|--output FILE]", from the declarations.
std::string usageOf(const CLI::App& command) {
    std::string usage = command.get_name();
    for (const CLI::Option* option : command.get_options()) {
        if (option == command.get_help_ptr())
            continue;
        if (!option->nonpositional()) {
            const std::string name = option->get_name(true);
            usage += option->get_required() ? " " + name : " [" + name + "]";
            continue;
        }
        std::string names;
        for (const std::string& name : option->get_snames())
            names += (names.empty() ? "-" : "|-") + name;
        for (const std::string& name : option->get_lnames())
            names += (names.empty() ? "--" : "|--") + name;
        const bool takesValue = option->get_expected_min() > 0;
        usage += " [" + names + (takesValue ? " " + option->get_type_name() : "") + "]";
    }
    return usage;
}

} // namespace

void HelpText::add(const Command& command, const CLI::App& declared) {
    m_entries.push_back({&command, usageOf(declared)});
}

std::string HelpText::program() const {
    std::string text = "Usage: " + std::string(kProgram) + " COMMAND [ARGUMENTS]\n\n" +
                       std::string(kIntroduction) + "\nCommands:\n";
    for (const Entry& entry : m_entries) {
        std::string line = "  " + entry.usage;
        line += line.size() + 1 < kSummaryColumn ? std::string(kSummaryColumn - line.size(), ' ')
                                                 : "\n" + std::string(kSummaryColumn, ' ');
        text += line + std::string(entry.command->summary()) + "\n";
    }
    return text + "\n" + std::string(kExitStatus);
}

std::optional<std::string> HelpText::of(std::string_view topic) const {
    if (topic.empty())
        return program();
    for (const Entry& entry : m_entries)
        if (entry.command->name() == topic)
            return "Usage: " + std::string(kProgram) + " " + entry.usage + "\n\n" +
                   std::string(entry.command->explanation());
    return std::nullopt;
}

} // namespace cli
