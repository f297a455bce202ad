#pragma once

#include "Command.h"

#include "TableReader.h"

#include <string>

// What import and apply share: reading the user's file of changes, reporting what is wrong with
// it, and making sure the changes were shown before they are written.
namespace cli {

// The user's file of changes, read whole.
struct ChangeFile {
    std::string name; // what messages call it: its path, or "standard input"
    std::string text;
    bool json = false;
};

// Reads all of `file` (`-`: standard input; refused above 16 MiB), in the format given or the
// one its name ends in, before the image is opened: the image stays unlocked while a pipe or a
// terminal is slow to give it, and a command that writes the file from this image can finish.
// A file that is not of the `wanted` kind, or of another format, is a usage error that says
// which command reads it, or which format it is.
[[nodiscard]] base::Result<ChangeFile> readChangeFile(const Context& context,
                                                      const std::string& file,
                                                      const std::string& format,
                                                      tables::FileKind wanted);

// What to say of `failure`, of a command given `image` and `file`: when the image is no DS
// image and the file is one, they were given the wrong way round, and the usage error says
// that the image comes first; otherwise the failure as it is. Only a command that failed
// looks, so one that works opens the image once.
[[nodiscard]] base::Error imageFirst(const Context& context, base::Error failure,
                                     const std::string& image, const std::string& file,
                                     std::string_view command);

// Lists the first problems of the file `name` on standard error, then how many more, and
// fails: "3 problems in stats.csv; nothing was written".
[[nodiscard]] base::Error reportProblems(const Context& context, const std::string& name,
                                         const tables::ProblemList& problems);

// Whether every line written to standard output so far arrived: changes that could not be
// shown are not made.
[[nodiscard]] base::Status shownInFull(const Context& context);

} // namespace cli
