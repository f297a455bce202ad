#include "ChangeWriting.h"
#include "Commands.h"
#include "ImportPlan.h"
#include "LoadedImage.h"
#include "TableFormat.h"
#include "Wording.h"

#include "TableReader.h"
#include "Text.h"

#include <CLI/CLI.hpp>

#include <cerrno>
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
        // One open of the image, for reading the table and writing the changes.
        base::Result<ChangeSource> source =
            openForChanges(context, m_image, m_table, m_format, m_dryRun);
        if (!source.ok())
            return source.error();
        ChangeSource& from = source.value();
        const ImportPlan plan = planImport(from.json ? tables::readJsonTable(from.text)
                                                     : tables::readCsvTable(from.text),
                                           from.image.table.entries, from.image.edition->game);
        if (!plan.problems.empty())
            return reportProblems(context, from.name, plan.problems);

        std::set<int> entries;
        for (const FieldChange& change : plan.changes)
            entries.insert(change.position);
        // The TM and HM flags of an entry count as one change, as they show on one line.
        const std::vector<std::string> lines = describeChanges(plan.changes);
        for (const std::string& line : lines)
            context.out << line << "\n";
        const std::string summary = counted(lines.size(), "change", "changes") + " in " +
                                    counted(entries.size(), "entry", "entries");
        if (m_dryRun) {
            context.out << summary << "; dry run, nothing written\n";
            return {};
        }
        if (plan.changes.empty()) {
            context.out << "no changes; nothing written\n";
            return {};
        }
        const std::string label =
            m_table == "-" ? "import from standard input" : "import of " + base::quoted(m_table);
        if (base::Status written =
                writeChanges(context, from.image, plan.changes, from.unwritable, label);
            !written.ok())
            return written;
        context.out << summary << " written\n";
        return {};
    }

private:
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
