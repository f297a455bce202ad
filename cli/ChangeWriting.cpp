#include "ChangeWriting.h"

#include "TableFormat.h"
#include "Wording.h"

#include "EditSession.h"
#include "FileAccess.h"
#include "Text.h"

#include <cerrno>
#include <optional>

namespace cli {

namespace {

// A whole table with every text, or a patch of every field, is well under 16 MiB.
constexpr std::int64_t kMaxInputFile = 16 << 20;

} // namespace

namespace {

base::Error usage(std::string message) {
    return base::Error::at(base::Error::Kind::Usage, "", 0, "", std::move(message));
}

// Why `from` is not what its command reads: a file of the other kind, or of the other format.
std::optional<base::Error> misfit(const ChangeFile& from, const std::string& format,
                                  tables::FileKind wanted) {
    const tables::FileKind kind = tables::kindOf(from.text);
    const std::string name = base::printable(from.name);
    if (kind == tables::FileKind::Patch && wanted == tables::FileKind::Table)
        return usage(name + " is a patch, which apply reads: statwright-cli apply IMAGE PATCH");
    if (kind == tables::FileKind::Table && wanted == tables::FileKind::Patch)
        return usage(name + " is a table, which import reads: statwright-cli import IMAGE TABLE");
    const bool json = tables::startsLikeJson(from.text);
    if (from.json == json || from.text.empty())
        return std::nullopt;
    const std::string said = format.empty() ? "its name says" : "--format says";
    return usage(name + " does not look like " + (from.json ? "JSON" : "CSV") + ", as " + said +
                 ", but like " + (json ? "JSON: give --format json" : "CSV: give --format csv"));
}

} // namespace

base::Result<ChangeFile> readChangeFile(const Context& context, const std::string& file,
                                        const std::string& format, tables::FileKind wanted) {
    const base::Result<std::string> chosen = tableFormat(format, file);
    if (!chosen.ok())
        return chosen.error();
    const std::string name = file == "-" ? "standard input" : file;
    base::Result<files::Bytes> bytes =
        file == "-" ? files::readStream(context.io, files::kStandardInput, name, kMaxInputFile)
                    : files::readWholeFile(context.io, file, kMaxInputFile);
    if (!bytes.ok())
        return bytes.error();
    ChangeFile read{name, std::string(bytes.value().begin(), bytes.value().end()),
                    chosen.value() == "json"};
    if (const std::optional<base::Error> wrong = misfit(read, format, wanted))
        return *wrong;
    return read;
}

base::Error imageFirst(const Context& context, base::Error failure, const std::string& image,
                       const std::string& file, std::string_view command) {
    if (file == "-")
        return failure;
    const base::Status isImage = species::EditSession::checkImage(context.io, image);
    if (isImage.ok() || isImage.error().kind != base::Error::Kind::NotAnImage ||
        !species::EditSession::checkImage(context.io, file).ok())
        return failure;
    return usage(isImage.error().describe() + ", and " + base::printable(file) +
                 " is one: the image comes first (statwright-cli " + std::string(command) +
                 " IMAGE " + (command == "apply" ? "PATCH" : "TABLE") + ")");
}

base::Error reportProblems(const Context& context, const std::string& name,
                           const tables::ProblemList& problems) {
    const std::vector<base::Error> shown = problems.shown();
    for (base::Error problem : shown) {
        problem.path = name;
        context.err << problem.describe() << "\n";
    }
    if (problems.count() > shown.size())
        context.err << base::printable(name) << ": and " << problems.count() - shown.size()
                    << " more\n";
    return base::Error::at(base::Error::Kind::InvalidInput, "", 0, "",
                           counted(problems.count(), "problem", "problems") + " in " + name +
                               "; nothing was written");
}

base::Status shownInFull(const Context& context) {
    if (context.out.flush())
        return {};
    base::Error error = base::Error::at(base::Error::Kind::System, "", 0, "",
                                        "the changes could not be shown; nothing was written");
    error.systemError = context.outputError() != 0 ? context.outputError() : EIO;
    return error;
}

} // namespace cli
