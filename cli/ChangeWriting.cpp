#include "ChangeWriting.h"

#include "TableFormat.h"
#include "Wording.h"

#include "FileAccess.h"
#include "Text.h"

#include <cerrno>

namespace cli {

namespace {

// A whole table with every text, or a patch of every field, is well under 16 MiB.
constexpr std::int64_t kMaxInputFile = 16 << 20;

} // namespace

base::Result<ChangeFile> readChangeFile(const Context& context, const std::string& file,
                                        const std::string& format) {
    const base::Result<std::string> chosen = tableFormat(format, file);
    if (!chosen.ok())
        return chosen.error();
    const std::string name = file == "-" ? "standard input" : file;
    base::Result<files::Bytes> bytes =
        file == "-" ? files::readStream(context.io, files::kStandardInput, name, kMaxInputFile)
                    : files::readWholeFile(context.io, file, kMaxInputFile);
    if (!bytes.ok())
        return bytes.error();
    return ChangeFile{name, std::string(bytes.value().begin(), bytes.value().end()),
                      chosen.value() == "json"};
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
