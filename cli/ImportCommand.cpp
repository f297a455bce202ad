#include "ChangeCommand.h"
#include "Commands.h"

#include "base/Text.h"
#include "tables/ChangeText.h"
#include "tables/TableImport.h"

namespace cli {
namespace {

class ImportCommand final : public ChangeCommand {
public:
    std::string_view name() const override { return "import"; }
    std::string_view summary() const override {
        return "writes the changes of an edited table into the image";
    }
    std::string explanation() const override {
        return R"(Reads an edited table (CSV, or JSON when FILE ends in .json or --format json says so;
FILE - is standard input), checks every row before
anything is written, prints each change as "Species: field old -> new" (list values by
the names the image's game gives them, "type2 Water -> Dragon"), and writes the changed
entries into IMAGE. Every entry of the image needs its row, keyed by position
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

protected:
    tables::FileKind reads() const override { return tables::FileKind::Table; }
    std::string_view fileArgument() const override { return "FILE"; }
    std::string label(const std::string& file) const override {
        return file == "-" ? "import from standard input" : "import of " + base::quoted(file);
    }

    void parse(const tables::ChangeFile& file) override {
        m_input = file.json ? tables::readJsonTable(file.text) : tables::readCsvTable(file.text);
    }

    base::Result<std::vector<species::Change>>
    plan(const Context& context, const species::ImageDocument& document) override {
        const tables::ImportPlan planned =
            tables::planImport(m_input, document.tables(), document.edition()->game);
        if (!planned.problems.empty())
            return reportProblems(context, planned.problems);
        return planned.changes;
    }

    void show(const Context& context, std::span<const species::Change> changes) override {
        for (const std::string& line : tables::describeChanges(changes, names()))
            context.out << line << "\n";
    }

    // "2 changes in 2 entries written"
    std::string outcome(std::span<const species::Change> changes) const override {
        if (!dryRun() && changes.empty())
            return "no changes; nothing written";
        return tables::countChanges(changes) +
               (dryRun() ? "; dry run, nothing written" : " written");
    }

private:
    tables::InputTable m_input;
};

} // namespace

std::unique_ptr<Command> makeImportCommand() {
    return std::make_unique<ImportCommand>();
}

} // namespace cli
