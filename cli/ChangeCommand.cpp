#include "ChangeCommand.h"

#include "TableFormat.h"

#include "ImageAccess.h"
#include "base/Text.h"
#include "tables/ChangeText.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <optional>

namespace cli {

namespace {

base::Error usage(std::string message) {
    return base::Error::at(base::Error::Kind::Usage, "", 0, "", std::move(message));
}

// Why `file` is not what its command reads: a file of the other kind, or of the other format
// than the one its name or --format gives.
std::optional<base::Error> misfit(const tables::ChangeFile& file, bool json,
                                  const std::string& format, tables::FileKind wanted) {
    const std::string name = base::printable(file.name);
    if (file.kind == tables::FileKind::Patch && wanted == tables::FileKind::Table)
        return usage(name + " is a patch, which apply reads: statwright-cli apply IMAGE PATCH");
    if (file.kind == tables::FileKind::Table && wanted == tables::FileKind::Patch)
        return usage(name + " is a table, which import reads: statwright-cli import IMAGE TABLE");
    if (json == file.json || file.text.empty())
        return std::nullopt;
    const std::string said = format.empty() ? "its name says" : "--format says";
    return usage(name + " does not look like " + (json ? "JSON" : "CSV") + ", as " + said +
                 ", but like " +
                 (file.json ? "JSON: give --format json" : "CSV: give --format csv"));
}

// Whether every line written to standard output so far arrived: changes that could not be
// shown are not made.
base::Status shownInFull(const Context& context) {
    if (context.out.flush())
        return {};
    base::Error error = base::Error::at(base::Error::Kind::System, "", 0, "",
                                        "the changes could not be shown; nothing was written");
    error.systemError = context.outputError() != 0 ? context.outputError() : EIO;
    return error;
}

} // namespace

void ChangeCommand::declareMore(CLI::App&) {
}

base::Status ChangeCommand::verdict(std::span<const species::Change>) const {
    return {};
}

void ChangeCommand::declare(CLI::App& command) {
    command.add_option("IMAGE", m_image)->required();
    command.add_option(std::string(fileArgument()), m_file)->required();
    command.add_option("-f,--format", m_format)->type_name("csv|json");
    command.add_flag("-n,--dry-run", m_dryRun)->disable_flag_override();
    declareMore(command);
}

base::Status ChangeCommand::run(const Context& context) {
    const base::Result<std::string> format = tableFormat(m_format, m_file);
    if (!format.ok())
        return format.error();
    const base::Result<tables::ChangeFile> file = tables::readChangeFile(context.io, m_file);
    if (!file.ok())
        return imageFirst(context, file.error());
    m_fileName = file.value().name;
    if (const std::optional<base::Error> wrong =
            misfit(file.value(), format.value() == "json", m_format, reads()))
        return imageFirst(context, *wrong);
    parse(file.value());

    species::ImageDocument document(context.io, m_image);
    bool shown = false;
    const auto planner =
        [&](const species::ImageDocument& read) -> base::Result<std::vector<species::Change>> {
        tellNotes(context, document);
        if (read.edition())
            m_names = read.edition()->game;
        return plan(context, read);
    };
    const auto showAll = [&](std::span<const species::Change> changes) {
        show(context, changes);
        shown = true;
        // A write that moves a file inside the image is said before it is made.
        if (const std::string layout = document.layoutChange({changes.begin(), changes.end()});
            !layout.empty())
            context.out << "note: " << layout << "\n";
    };
    const auto confirm = [&](std::span<const species::Change> changes) {
        showAll(changes);
        return shownInFull(context);
    };
    const base::Result<std::vector<species::Change>> changes =
        document.modify(planner, confirm, label(m_file), m_dryRun);
    tellNotes(context, document);
    if (!changes.ok())
        return imageFirst(context, changes.error());
    if (!shown)
        showAll(changes.value());
    context.out << outcome(changes.value()) << "\n";
    return verdict(changes.value());
}

base::Error ChangeCommand::imageFirst(const Context& context, base::Error failure) const {
    if (m_file == "-")
        return failure;
    const base::Status isImage = species::ImageDocument::checkImage(context.io, m_image);
    if (isImage.ok() || isImage.error().kind != base::Error::Kind::NotAnImage ||
        !species::ImageDocument::checkImage(context.io, m_file).ok())
        return failure;
    return usage(isImage.error().describe() + ", and " + base::printable(m_file) +
                 " is one: the image comes first (statwright-cli " + std::string(name()) +
                 " IMAGE " + (reads() == tables::FileKind::Patch ? "PATCH" : "TABLE") + ")");
}

base::Error ChangeCommand::reportProblems(const Context& context,
                                          const tables::ProblemList& problems) const {
    const std::vector<base::Error> shown = problems.shown();
    for (base::Error problem : shown) {
        problem.path = m_fileName;
        context.err << problem.describe() << "\n";
    }
    if (problems.count() > shown.size())
        context.err << base::printable(m_fileName) << ": and " << problems.count() - shown.size()
                    << " more\n";
    return base::Error::at(base::Error::Kind::InvalidInput, "", 0, "",
                           tables::counted(problems.count(), "problem", "problems") + " in " +
                               m_fileName + "; nothing was written");
}

} // namespace cli
