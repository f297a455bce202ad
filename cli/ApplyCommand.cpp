#include "ChangeWriting.h"
#include "Commands.h"
#include "Wording.h"

#include "Patch.h"
#include "PatchFormat.h"
#include "Text.h"

#include <CLI/CLI.hpp>

#include <set>

namespace cli {
namespace {

using species::PatchStep;

class ApplyCommand final : public Command {
public:
    std::string_view name() const override { return "apply"; }
    std::string_view summary() const override {
        return "carries the changes of a patch into an image";
    }
    std::string explanation() const override {
        return R"(Reads a patch that diff --patch wrote (CSV, or JSON when PATCH ends in .json or
--format json says so; PATCH - is standard input) and makes its changes in IMAGE, of any
game and region: each change's entry is found by its position and checked by its name, its
new value must fit that image's game (its item list, for one), and the image must still hold
its old value. A change whose new value the image holds already counts as applied. Any
change whose entry the image lacks, whose value does not fit, or whose old value the image
does not hold (a conflict; also a flag whose TM or HM teaches another move in this game) is
listed, 20 at most, and nothing is written (exit status 1). --force makes every change
whose entry exists and whose value fits, whatever the image holds, names the conflicts it
overrode and the changes it skipped. The changes are printed as import prints them and
written in one save, as import writes them.
--dry-run checks and prints the changes but writes nothing.
)";
    }
    void declare(CLI::App& command) override {
        command.add_option("IMAGE", m_image)->required();
        command.add_option("PATCH", m_patch)->required();
        command.add_option("-f,--format", m_format)->type_name("csv|json");
        command.add_flag("-n,--dry-run", m_dryRun)->disable_flag_override();
        command.add_flag("--force", m_force)->disable_flag_override();
    }

    base::Status run(const Context& context) override {
        base::Result<ChangeSource> source =
            openForChanges(context, m_image, m_patch, m_format, m_dryRun);
        if (!source.ok())
            return source.error();
        ChangeSource& from = source.value();
        const tables::PatchInput input =
            from.json ? tables::readJsonPatch(from.text) : tables::readCsvPatch(from.text);
        if (!input.problems.empty())
            return reportProblems(context, from.name, input.problems);

        const std::vector<PatchStep> steps =
            species::judgePatch(input.patch, from.image.table.entries, from.image.edition->game);
        std::vector<const PatchStep*> blocking;
        for (const PatchStep& step : steps)
            if (step.kind == PatchStep::Kind::Missing || step.kind == PatchStep::Kind::Refused ||
                (step.kind == PatchStep::Kind::Conflict && !m_force))
                blocking.push_back(&step);
        if (!m_force && !blocking.empty())
            return refused(context, from.name, blocking);

        std::vector<FieldChange> changes;
        std::size_t already = 0;
        std::set<int> entries;
        for (const PatchStep& step : steps) {
            const bool made = step.kind == PatchStep::Kind::Change ||
                              (step.kind == PatchStep::Kind::Conflict && m_force);
            already += step.kind == PatchStep::Kind::AlreadyApplied ? 1 : 0;
            if (!made)
                continue;
            changes.push_back(
                {step.change->position, step.change->field, step.found, step.change->to});
            entries.insert(step.change->position);
        }
        // The TM and HM flags of an entry count as one change, as they show on one line.
        const std::vector<std::string> lines = describeChanges(changes);
        for (const std::string& line : lines)
            context.out << line << "\n";
        for (const PatchStep& step : steps)
            if (step.kind == PatchStep::Kind::AlreadyApplied)
                context.out << named(step) << " already applied\n";
        for (const PatchStep& step : steps)
            if (step.kind == PatchStep::Kind::Conflict)
                context.out << named(step) << " overrode a conflict: " << step.reason << "\n";
        // Only with --force: what could not be made at all.
        for (const PatchStep* step : blocking)
            context.err << "statwright-cli: " << named(*step) << " skipped: " << step->reason
                        << "\n";

        // "3 changes in 1 entry written; 1 already applied; 2 skipped"
        std::string rest;
        if (already > 0)
            rest += "; " + std::to_string(already) + " already applied";
        if (!blocking.empty())
            rest += "; " + std::to_string(blocking.size()) + " skipped";
        const std::string summary = counted(lines.size(), "change", "changes") + " in " +
                                    counted(entries.size(), "entry", "entries");
        if (m_dryRun) {
            context.out << summary << rest << "; dry run, nothing written\n";
            return {};
        }
        if (changes.empty()) {
            context.out << (steps.empty()             ? "the patch holds no changes"
                            : already == steps.size() ? "every change already applied"
                                                      : "no changes" + rest)
                        << "; nothing written\n";
            return {};
        }
        const std::string label = m_patch == "-" ? "apply of a patch from standard input"
                                                 : "apply of " + base::quoted(m_patch);
        if (base::Status written =
                writeChanges(context, from.image, changes, from.unwritable, label);
            !written.ok())
            return written;
        context.out << summary << " written" << rest << "\n";
        return {};
    }

private:
    // "Garchomp: speed 102 -> 110"
    static std::string named(const PatchStep& step) {
        const species::PatchChange& change = *step.change;
        return base::printable(change.species) + ": " +
               std::string(species::descriptor(change.field).key) + " " +
               std::to_string(change.from) + " -> " + std::to_string(change.to);
    }

    base::Status refused(const Context& context, const std::string& patch,
                         const std::vector<const PatchStep*>& blocking) const {
        constexpr std::size_t kShown = tables::ProblemList::kShown;
        for (std::size_t i = 0; i < blocking.size() && i < kShown; ++i) {
            const PatchStep& step = *blocking[i];
            const char* what = step.kind == PatchStep::Kind::Conflict  ? "conflict"
                               : step.kind == PatchStep::Kind::Missing ? "no such entry"
                                                                       : "refused";
            context.err << base::printable(patch) << ": " << what << ": " << named(step) << ": "
                        << step.reason << "\n";
        }
        if (blocking.size() > kShown)
            context.err << base::printable(patch) << ": and " << blocking.size() - kShown
                        << " more\n";
        return base::Error::at(base::Error::Kind::InvalidInput, "", 0, "",
                               counted(blocking.size(), "change", "changes") + " of " + patch +
                                   " cannot be made in " + m_image + "; nothing was written");
    }

    std::string m_image;
    std::string m_patch;
    std::string m_format; // "csv", "json", or empty: from the patch's name
    bool m_dryRun = false;
    bool m_force = false;
};

} // namespace

std::unique_ptr<Command> makeApplyCommand() {
    return std::make_unique<ApplyCommand>();
}

} // namespace cli
