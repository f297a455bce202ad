#include "Commands.h"
#include "ImportPlan.h"
#include "LoadedImage.h"
#include "TableFormat.h"
#include "Wording.h"

#include "FileAccess.h"
#include "MessageText.h"
#include "TableReader.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <set>

namespace cli {
namespace {

// A whole table with every text is well under 4 MiB.
constexpr std::int64_t kMaxTableFile = 16 << 20;

class ImportCommand final : public Command {
public:
    std::string_view name() const override { return "import"; }
    std::string_view summary() const override {
        return "writes the changes of an edited table into the image";
    }
    std::string_view explanation() const override {
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

    files::Status run(const Context& context) override {
        const files::Result<std::string> format = tableFormat(m_format, m_table);
        if (!format.ok())
            return format.error();
        // One open of the image, for reading the table and writing the changes.
        files::Status unwritable;
        files::Result<LoadedImage> image = load(context, unwritable);
        if (!image.ok())
            return image.error();
        const std::string name = m_table == "-" ? "standard input" : m_table;
        files::Result<files::Bytes> bytes =
            m_table == "-"
                ? files::readStream(context.io, files::kStandardInput, name, kMaxTableFile)
                : files::readWholeFile(context.io, m_table, kMaxTableFile);
        if (!bytes.ok())
            return bytes.error();
        const std::string text(bytes.value().begin(), bytes.value().end());
        const ImportPlan plan = planImport(
            format.value() == "json" ? tables::readJsonTable(text) : tables::readCsvTable(text),
            image.value().table.entries, image.value().edition->game);
        if (!plan.problems.empty())
            return reported(context, name, plan.problems);
        return write(context, image.value(), plan, unwritable);
    }

private:
    // The image, open and locked for writing unless this is a dry run: the lock holds from
    // reading the table to the last flush, so no other write can come in between. An image
    // that cannot be written is still read: a table without changes needs no write.
    // `unwritable` says why not.
    files::Result<LoadedImage> load(const Context& context, files::Status& unwritable) const {
        if (m_dryRun)
            return loadImage(context, m_image, files::Access::Read);
        files::Result<LoadedImage> image = loadImage(context, m_image, files::Access::Write);
        if (image.ok() || image.error().kind != files::Error::Kind::System ||
            image.error().systemError == 0)
            return image;
        unwritable = image.error();
        return loadImage(context, m_image, files::Access::Read);
    }

    files::Status write(const Context& context, LoadedImage& image, const ImportPlan& plan,
                        const files::Status& unwritable) const {
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
        // Changes that could not be shown are not made.
        if (!context.out.flush()) {
            files::Error error =
                files::Error::at(files::Error::Kind::System, "", 0, "",
                                 "the changes could not be shown; nothing was written");
            error.systemError = context.outputError() != 0 ? context.outputError() : EIO;
            return error;
        }
        if (!unwritable.ok())
            return unwritable;
        if (files::Status written =
                species::writeEntries(image.file, image.table.place, editsOf(plan.changes),
                                      m_table == "-" ? "import from standard input"
                                                     : "import of " + files::quoted(m_table));
            !written.ok())
            return written;
        if (files::Status closed = image.file.close(); !closed.ok())
            return closed;
        context.out << summary << " written\n";
        return {};
    }

    static files::Status reported(const Context& context, const std::string& table,
                                  const tables::ProblemList& problems) {
        const std::vector<files::Error> shown = problems.shown();
        for (files::Error problem : shown) {
            problem.path = table;
            context.err << problem.describe() << "\n";
        }
        if (problems.count() > shown.size())
            context.err << table << ": and " << problems.count() - shown.size() << " more\n";
        return files::Error::at(files::Error::Kind::InvalidInput, "", 0, "",
                                counted(problems.count(), "problem", "problems") + " in " + table +
                                    "; nothing was written");
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
