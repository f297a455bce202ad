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

// The image, open and locked for writing unless `dryRun`, which writes nothing at all, not even
// a recovery; one that cannot be written is opened for reading, and `unwritable` says why.
base::Result<LoadedImage> loadToChange(const Context& context, const std::string& path, bool dryRun,
                                       base::Status& unwritable) {
    if (dryRun)
        return loadImage(context, path, files::Access::Inspect);
    base::Result<LoadedImage> image = loadImage(context, path, files::Access::Write);
    if (image.ok())
        return image;
    // A busy image (no error number) is not read either: it is being written.
    const base::Error::Kind kind = image.error().kind;
    const bool readable = kind == base::Error::Kind::Refused ||
                          (kind == base::Error::Kind::System && image.error().systemError != 0);
    if (!readable)
        return image;
    unwritable = image.error();
    return loadImage(context, path, files::Access::Read);
}

} // namespace

base::Result<ChangeSource> openForChanges(const Context& context, const std::string& image,
                                          const std::string& file, const std::string& format,
                                          bool dryRun) {
    const base::Result<std::string> chosen = tableFormat(format, file);
    if (!chosen.ok())
        return chosen.error();
    // All of the file first: the image stays unlocked while a pipe or a terminal is slow to
    // give it, and a command that writes the file from this image can finish reading it.
    const std::string name = file == "-" ? "standard input" : file;
    base::Result<files::Bytes> bytes =
        file == "-" ? files::readStream(context.io, files::kStandardInput, name, kMaxInputFile)
                    : files::readWholeFile(context.io, file, kMaxInputFile);
    if (!bytes.ok())
        return bytes.error();
    base::Status unwritable;
    base::Result<LoadedImage> loaded = loadToChange(context, image, dryRun, unwritable);
    if (!loaded.ok())
        return loaded.error();
    return ChangeSource{std::move(loaded).value(), unwritable, name,
                        std::string(bytes.value().begin(), bytes.value().end()),
                        chosen.value() == "json"};
}

base::Status reportProblems(const Context& context, const std::string& name,
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

base::Status writeChanges(const Context& context, LoadedImage& image,
                          std::span<const FieldChange> changes, const base::Status& unwritable,
                          const std::string& label) {
    if (!context.out.flush()) {
        base::Error error = base::Error::at(base::Error::Kind::System, "", 0, "",
                                            "the changes could not be shown; nothing was written");
        error.systemError = context.outputError() != 0 ? context.outputError() : EIO;
        return error;
    }
    if (!unwritable.ok())
        return unwritable;
    if (base::Status written =
            species::writeEntries(image.file, image.table.place, editsOf(changes), label);
        !written.ok())
        return written;
    return image.file.close();
}

} // namespace cli
