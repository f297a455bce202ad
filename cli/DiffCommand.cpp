#include "Commands.h"
#include "ImageAccess.h"
#include "Output.h"
#include "TableFormat.h"

#include "base/Text.h"
#include "species/Comparison.h"
#include "species/ImageDocument.h"
#include "species/Patch.h"
#include "species/Vocabulary.h"
#include "tables/ChangeLog.h"
#include "tables/ChangeText.h"
#include "tables/PatchFormat.h"

#include <CLI/CLI.hpp>

#include <set>

namespace cli {
namespace {

// An image's tables and its edition, read with one open that is closed again.
struct Entries {
    const nds::GameEdition* edition;
    species::Tables tables;

    [[nodiscard]] std::size_t count() const { return tables.at(species::Kind::BaseStats).size(); }
};

class DiffCommand final : public Command {
public:
    std::string_view name() const override { return "diff"; }
    std::string_view summary() const override {
        return "the fields that differ, or the patch of them";
    }
    std::string explanation() const override {
        return R"(Prints every field that differs between the two images as "Species: field a -> b".
With --patch it writes instead the patch that turns IMAGE_A into IMAGE_B, for apply to
carry to other images: one change a line (CSV, the default, or JSON when FILE ends in
.json or --format json says so), each naming the entry's position and species, the field
(a column of export, and each TM and HM flag on its own: tm01 to tm92, hm01 to hm08), and
its value in IMAGE_A and in IMAGE_B. It goes to standard output, or with --output to FILE,
replaced whole as export replaces it. Entries only one image has are named on standard
error and left out.
With --format text or markdown (and no --patch) it writes the change log of the two images
for people to read: a first line that names both, then each entry that differs with its
position and name, a line for each field changed, old and new value by name
("Type 2: Flying -> Steel"), the base-stat total when a base stat changed, and the TMs and
HMs on one line with the moves they teach in IMAGE_B ("TM/HM: +TM06 Toxic, -HM04
Strength"); Markdown gives each entry a heading, for a forum post or a README.
)";
    }
    void declare(CLI::App& command) override {
        command.add_option("IMAGE_A", m_first)->required();
        command.add_option("IMAGE_B", m_second)->required();
        command.add_flag("-p,--patch", m_patch)->disable_flag_override();
        command.add_option("-f,--format", m_format)->type_name("csv|json|text|markdown");
        command.add_option("-o,--output", m_output)->type_name("FILE");
    }

    base::Status run(const Context& context) override {
        const std::string log = lowerCase(m_format);
        const bool isLog = log == "text" || log == "markdown";
        if (m_patch && isLog)
            return usage("--format " + log + " is a change log, which --patch does not write");
        if (!m_patch && !isLog && (!m_format.empty() || !m_output.empty()))
            return usage("--format csv or json, and --output, go with --patch; a change log is "
                         "--format text or markdown");
        const base::Result<std::string> format =
            isLog ? base::Result<std::string>(log) : tableFormat(m_format, m_output);
        if (!format.ok())
            return format.error();
        if (base::Status apart = outputApartFrom(context, m_output, {m_first, m_second});
            !apart.ok())
            return apart;
        base::Result<Entries> a = entriesOf(context, m_first);
        if (!a.ok())
            return a.error();
        base::Result<Entries> b = entriesOf(context, m_second);
        if (!b.ok())
            return b.error();
        const std::vector<std::string> notes =
            species::notCompared(a.value().tables, m_first, b.value().tables, m_second);
        if (m_patch) {
            for (const std::string& note : notes)
                context.err << "statwright-cli: " << note << "\n";
            return writePatch(context, a.value(), b.value(), format.value());
        }
        if (isLog)
            return writeOutput(context, m_output,
                               tables::changeLog(*a.value().edition, a.value().tables,
                                                 *b.value().edition, b.value().tables,
                                                 log == "markdown" ? tables::LogFormat::Markdown
                                                                   : tables::LogFormat::Text,
                                                 notes));

        // Every field that differs; a patch carries more (an evolution slot whole).
        std::vector<species::Change> changes;
        for (species::Change& change : species::changesBetween(a.value().tables, b.value().tables))
            if (change.before != change.after)
                changes.push_back(std::move(change));
        std::set<int> entries;
        for (const species::Change& change : changes)
            entries.insert(change.position);
        // The TM and HM flags of an entry count as one field, tm_hm, as they show on one line.
        const std::vector<std::string> lines = tables::describeChanges(changes);
        for (const std::string& line : lines)
            context.out << line << "\n";
        const std::size_t fields = lines.size();
        if (const std::string only = onlyInOne(a.value().count(), b.value().count()); !only.empty())
            context.out << only << "\n";
        for (const std::string& note : notes)
            context.out << note << "\n";
        context.out << (fields == 0
                            ? "no differences"
                            : tables::counted(fields, "field differs", "fields differ") + " in " +
                                  tables::counted(entries.size(), "entry", "entries"))
                    << "\n";
        return {};
    }

private:
    static base::Error usage(const std::string& message) {
        return base::Error::at(base::Error::Kind::Usage, "", 0, "", message);
    }

    static base::Result<Entries> entriesOf(const Context& context, const std::string& path) {
        species::ImageDocument document(context.io, path);
        const base::Result<species::ImageReport> opened = openImage(context, document);
        if (!opened.ok())
            return opened.error();
        return Entries{document.edition(), document.tables()};
    }

    // "positions 500 to 506 (Giratina (Origin) to Rotom (Mow)) are only in pt.nds", or "".
    std::string onlyInOne(std::size_t first, std::size_t second) const {
        if (first == second)
            return {};
        const std::size_t common = std::min(first, second);
        const int last = int(std::max(first, second)) - 1;
        return "positions " + std::to_string(common) + " to " + std::to_string(last) + " (" +
               vocabulary::entryName(int(common)) + " to " + vocabulary::entryName(last) +
               ") are only in " + base::printable(first > second ? m_first : m_second);
    }

    base::Status writePatch(const Context& context, const Entries& a, const Entries& b,
                            const std::string& format) const {
        const species::Patch patch = species::patchBetween(*a.edition, a.tables, b.tables);
        if (const std::string only = onlyInOne(a.count(), b.count()); !only.empty())
            context.err << "statwright-cli: " << only << "; the patch leaves them out\n";
        const std::string text =
            format == "json" ? tables::patchToJson(patch) : tables::patchToCsv(patch);
        return writeOutput(context, m_output, text);
    }

    std::string m_first;
    std::string m_second;
    bool m_patch = false;
    std::string m_format; // "csv", "json", or empty: from the output's name
    std::string m_output; // empty: standard output
};

} // namespace

std::unique_ptr<Command> makeDiffCommand() {
    return std::make_unique<DiffCommand>();
}

} // namespace cli
