#include "ChangeWriting.h"
#include "Commands.h"
#include "ImageAccess.h"
#include "Wording.h"

#include "ChangeText.h"
#include "EditSession.h"
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
        const base::Result<ChangeFile> file =
            readChangeFile(context, m_patch, m_format, tables::FileKind::Patch);
        if (!file.ok())
            return imageFirst(context, file.error(), m_image, m_patch, name());
        const ChangeFile& from = file.value();
        const tables::PatchInput input =
            from.json ? tables::readJsonPatch(from.text) : tables::readCsvPatch(from.text);
        species::EditSession session(context.io, m_image);
        Judged judged;
        const auto plan =
            [&](const species::TableRead& table) -> base::Result<std::vector<species::Change>> {
            tellNotes(context, session);
            if (!input.problems.empty())
                return reportProblems(context, from.name, input.problems);
            judged = judge(input.patch, table, session.edition()->game);
            if (!m_force && !judged.blocking.empty())
                return refused(context, from.name, judged.blocking);
            return judged.changes;
        };
        bool reported = false;
        const auto show = [&](std::span<const species::Change>) {
            report(context, judged);
            reported = true;
            return shownInFull(context);
        };
        const std::string label = m_patch == "-" ? "apply of a patch from standard input"
                                                 : "apply of " + base::quoted(m_patch);
        const base::Result<std::vector<species::Change>> changes =
            session.modify(plan, show, label, m_dryRun);
        tellNotes(context, session);
        if (!changes.ok())
            return imageFirst(context, changes.error(), m_image, m_patch, name());
        if (!reported)
            report(context, judged);
        context.out << summary(judged) << "\n";
        // Forced, yet every change skipped: nothing of the patch is in the image.
        if (m_force && judged.changes.empty() && !judged.blocking.empty())
            return base::Error::at(base::Error::Kind::InvalidInput, "", 0, "",
                                   "no change of " + from.name + " could be made in " + m_image +
                                       "; nothing was written");
        return {};
    }

private:
    // What the patch's changes find in the image: the steps, the changes to make of them, and
    // what blocks them.
    struct Judged {
        std::vector<PatchStep> steps;
        std::vector<species::Change> changes;
        std::vector<const PatchStep*> blocking;
        std::size_t already = 0;
        std::size_t lines = 0; // as the changes show, the TM and HM flags of an entry on one
    };

    Judged judge(const species::Patch& patch, const species::TableRead& table,
                 nds::Game game) const {
        Judged judged;
        judged.steps = species::judgePatch(patch, table.entries, game, table.evolutions);
        for (const PatchStep& step : judged.steps) {
            const bool conflict = step.kind == PatchStep::Kind::Conflict;
            if (step.kind == PatchStep::Kind::Missing || step.kind == PatchStep::Kind::Refused ||
                (conflict && !m_force))
                judged.blocking.push_back(&step);
            judged.already += step.kind == PatchStep::Kind::AlreadyApplied ? 1 : 0;
            if (step.kind == PatchStep::Kind::Change || (conflict && m_force))
                judged.changes.push_back(
                    {step.change.position, step.change.field, step.found, step.change.after});
        }
        return judged;
    }

    // The changes, those already applied, the conflicts overridden, and (with --force) what
    // could not be made at all.
    static void report(const Context& context, Judged& judged) {
        const std::vector<std::string> lines = tables::describeChanges(judged.changes);
        judged.lines = lines.size();
        for (const std::string& line : lines)
            context.out << line << "\n";
        for (const PatchStep& step : judged.steps)
            if (step.kind == PatchStep::Kind::AlreadyApplied)
                context.out << named(step) << " already applied\n";
        for (const PatchStep& step : judged.steps)
            if (step.kind == PatchStep::Kind::Conflict)
                context.out << named(step) << " overrode a conflict: " << step.reason << "\n";
        for (const PatchStep* step : judged.blocking)
            context.err << "statwright-cli: " << named(*step) << " skipped: " << step->reason
                        << "\n";
    }

    // "3 changes in 1 entry written; 1 already applied; 2 skipped"
    std::string summary(const Judged& judged) const {
        std::string rest;
        if (judged.already > 0)
            rest += "; " + std::to_string(judged.already) + " already applied";
        if (!judged.blocking.empty())
            rest += "; " + std::to_string(judged.blocking.size()) + " skipped";
        std::set<int> entries;
        for (const species::Change& change : judged.changes)
            entries.insert(change.position);
        const std::string made = counted(judged.lines, "change", "changes") + " in " +
                                 counted(entries.size(), "entry", "entries");
        if (m_dryRun)
            return made + rest + "; dry run, nothing written";
        if (!judged.changes.empty())
            return made + " written" + rest;
        return (judged.steps.empty()                    ? "the patch holds no changes"
                : judged.already == judged.steps.size() ? "every change already applied"
                                                        : "no changes" + rest) +
               std::string("; nothing written");
    }

    // "Garchomp: speed 102 -> 110", "Garchomp: tm_hm -TM05": as every command shows a change.
    static std::string named(const PatchStep& step) {
        return tables::describeChanges(std::span(&step.change, 1)).front();
    }

    base::Error refused(const Context& context, const std::string& patch,
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
