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
[[nodiscard]] base::Result<ChangeFile>
readChangeFile(const Context& context, const std::string& file, const std::string& format);

// Lists the first problems of the file `name` on standard error, then how many more, and
// fails: "3 problems in stats.csv; nothing was written".
[[nodiscard]] base::Error reportProblems(const Context& context, const std::string& name,
                                         const tables::ProblemList& problems);

// Whether every line written to standard output so far arrived: changes that could not be
// shown are not made.
[[nodiscard]] base::Status shownInFull(const Context& context);

} // namespace cli
