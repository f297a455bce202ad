#include "ChangeCommand.h"
#include "Commands.h"

#include "base/Text.h"
#include "species/Patch.h"
#include "tables/ChangeText.h"
#include "tables/PatchFormat.h"

#include <CLI/CLI.hpp>

namespace cli {
namespace {

using species::PatchStep;

class ApplyCommand final : public ChangeCommand {
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
overrode and the changes it skipped, and fails all the same when it can make none of them.
The changes are printed as import prints them and written in one save, as import writes
them.
--dry-run checks and prints the changes but writes nothing.
)";
    }

protected:
    tables::FileKind reads() const override { return tables::FileKind::Patch; }
    std::string_view fileArgument() const override { return "PATCH"; }
    void declareMore(CLI::App& command) override {
        command.add_flag("--force", m_force)->disable_flag_override();
    }
    std::string label(const std::string& file) const override {
        return file == "-" ? "apply of a patch from standard input"
                           : "apply of " + base::quoted(file);
    }

    void parse(const tables::ChangeFile& file) override {
        m_input = file.json ? tables::readJsonPatch(file.text) : tables::readCsvPatch(file.text);
    }

    base::Result<std::vector<species::Change>>
    plan(const Context& context, const species::ImageDocument& document) override {
        if (!m_input.problems.empty())
            return reportProblems(context, m_input.problems);
        m_verdict = species::judgePatch(m_input.patch, document.tables(), document.edition()->game,
                                        m_force);
        if (!m_force && m_verdict.blocked())
            return refused(context);
        return m_verdict.changes;
    }

    // The changes, those already applied, the conflicts overridden, and (with --force) what
    // could not be made at all.
    void show(const Context& context, std::span<const species::Change>) override {
        const std::vector<std::string> lines = tables::describeChanges(m_verdict.changes, names());
        for (const std::string& line : lines)
            context.out << line << "\n";
        for (const PatchStep& step : m_verdict.steps)
            if (step.verdict == PatchStep::Verdict::AlreadyApplied)
                context.out << tables::describeStep(step, names()) << "\n";
        for (const PatchStep& step : m_verdict.steps)
            if (step.verdict == PatchStep::Verdict::Conflict)
                context.out << named(step) << " overrode a conflict: " << step.reason << "\n";
        for (const std::size_t blocking : m_verdict.blocking)
            context.err << "statwright-cli: " << named(m_verdict.steps[blocking])
                        << " skipped: " << m_verdict.steps[blocking].reason << "\n";
    }

    // "3 changes in 1 entry written; 1 already applied; 2 skipped"
    std::string outcome(std::span<const species::Change>) const override {
        std::string rest;
        if (m_verdict.already > 0)
            rest += "; " + std::to_string(m_verdict.already) + " already applied";
        if (m_verdict.blocked())
            rest += "; " + std::to_string(m_verdict.blocking.size()) + " skipped";
        const std::string made = tables::countChanges(m_verdict.changes);
        if (dryRun())
            return made + rest + "; dry run, nothing written";
        if (!m_verdict.changes.empty())
            return made + " written" + rest;
        return (m_verdict.steps.empty()                       ? "the patch holds no changes"
                : m_verdict.already == m_verdict.steps.size() ? "every change already applied"
                                                              : "no changes" + rest) +
               std::string("; nothing written");
    }

    // Forced, yet every change skipped: nothing of the patch is in the image.
    base::Status verdict(std::span<const species::Change>) const override {
        if (m_force && m_verdict.changes.empty() && m_verdict.blocked())
            return base::Error::at(base::Error::Kind::InvalidInput, "", 0, "",
                                   "no change of " + fileName() + " could be made in " + image() +
                                       "; nothing was written");
        return {};
    }

private:
    // "Garchomp: speed 102 -> 110", "Garchomp: tm_hm -TM05": as every command shows a change.
    std::string named(const PatchStep& step) const {
        return tables::describeChanges(std::span(&step.change, 1), names()).front();
    }

    base::Error refused(const Context& context) const {
        constexpr std::size_t kShown = tables::ProblemList::kShown;
        const std::string patch = base::printable(fileName());
        for (std::size_t i = 0; i < m_verdict.blocking.size() && i < kShown; ++i)
            context.err << patch << ": "
                        << tables::describeStep(m_verdict.steps[m_verdict.blocking[i]], names())
                        << "\n";
        if (m_verdict.blocking.size() > kShown)
            context.err << patch << ": and " << m_verdict.blocking.size() - kShown << " more\n";
        return base::Error::at(base::Error::Kind::InvalidInput, "", 0, "",
                               tables::counted(m_verdict.blocking.size(), "change", "changes") +
                                   " of " + fileName() + " cannot be made in " + image() +
                                   "; nothing was written");
    }

    tables::PatchInput m_input;
    species::PatchVerdict m_verdict;
    bool m_force = false;
};

} // namespace

std::unique_ptr<Command> makeApplyCommand() {
    return std::make_unique<ApplyCommand>();
}

} // namespace cli
