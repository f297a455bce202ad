#include "ChangeWriting.h"
#include "Commands.h"
#include "ImageAccess.h"
#include "Wording.h"

#include "ChangeText.h"
#include "EditSession.h"
#include "TableImport.h"
#include "TableReader.h"
#include "Text.h"

#include <CLI/CLI.hpp>

#include <set>

namespace cli {
namespace {

class ImportCommand final : public Command {
public:
    std::string_view name() const override { return "import"; }
    std::string_view summary() const override {
        return "writes the changes of an edited table into the image";
    }
    std::string explanation() const override {
        return R"(Reads an edited table (CSV, or JSON when FILE ends in .json or --format json says so;
FILE - is standard input), checks every row before
anything is written, prints each change as "Species: field old -> new", and writes the
changed entries into IMAGE. Every entry of the image needs its row, keyed by position
and named as in the species list; stats lie between 0 and 255, EV yields between 0 and
3, flip is 0 or 1, list values lie within their list (or unchanged), tm_hm names each TM
and HM at most once, and the gender of species without one cannot be changed. A table
without the columns ev_hp to tm_hm (as exported before they existed) leaves those bits
as they are, and its colour, if 128 or more, is the whole byte with the sprite flag. The
image is locked from reading its table to the last flush; the old bytes wait in a journal
beside it (IMAGE.statwright-journal) until the new ones are on disk, so a failed write puts
them back, and an import killed half way is rolled back by the next command to open IMAGE.
--dry-run checks and prints the changes but writes nothing.
)";
    }
    void declare(CLI::App& command) override {
        command.add_option("IMAGE", m_image)->required();
        command.add_option("FILE", m_table)->required();
        command.add_option("-f,--format", m_format)->type_name("csv|json");
        command.add_flag("-n,--dry-run", m_dryRun)->disable_flag_override();
    }

    base::Status run(const Context& context) override {
        const base::Result<ChangeFile> file =
            readChangeFile(context, m_table, m_format, tables::FileKind::Table);
        if (!file.ok())
            return imageFirst(context, file.error(), m_image, m_table, name());
        const ChangeFile& from = file.value();
        const tables::InputTable input =
            from.json ? tables::readJsonTable(from.text) : tables::readCsvTable(from.text);
        species::EditSession session(context.io, m_image);
        std::vector<std::string> lines;
        const auto plan =
            [&](const species::TableRead& table) -> base::Result<std::vector<species::Change>> {
            tellNotes(context, session);
            const tables::ImportPlan planned =
                tables::planImport(input, table.entries, session.edition()->game, table.evolutions);
            if (!planned.problems.empty())
                return reportProblems(context, from.name, planned.problems);
            return planned.changes;
        };
        // The TM and HM flags of an entry count as one change, as they show on one line.
        const auto show = [&](std::span<const species::Change> changes) {
            lines = tables::describeChanges(changes);
            for (const std::string& line : lines)
                context.out << line << "\n";
            return shownInFull(context);
        };
        const std::string label =
            m_table == "-" ? "import from standard input" : "import of " + base::quoted(m_table);
        const base::Result<std::vector<species::Change>> changes =
            session.modify(plan, show, label, m_dryRun);
        tellNotes(context, session);
        if (!changes.ok())
            return imageFirst(context, changes.error(), m_image, m_table, name());
        const bool written = !m_dryRun && !changes.value().empty();
        if (!written)
            (void)show(changes.value());
        context.out << summary(changes.value(), lines.size());
        return {};
    }

private:
    // "2 changes in 2 entries written"
    std::string summary(std::span<const species::Change> changes, std::size_t lines) const {
        if (!m_dryRun && changes.empty())
            return "no changes; nothing written\n";
        std::set<int> entries;
        for (const species::Change& change : changes)
            entries.insert(change.position);
        return counted(lines, "change", "changes") + " in " +
               counted(entries.size(), "entry", "entries") +
               (m_dryRun ? "; dry run, nothing written\n" : " written\n");
    }

    std::string m_image;
    std::string m_table;
    std::string m_format; // "csv", "json", or empty: from the table's name
    bool m_dryRun = false;
};

} // namespace

std::unique_ptr<Command> makeImportCommand() {
    return std::make_unique<ImportCommand>();
}

} // namespace cli
