#pragma once

#include "Command.h"
#include "ImportPlan.h"
#include "LoadedImage.h"

#include "TableReader.h"

#include <span>
#include <string>

// What import and apply share: reading the user's file, opening the image to change it,
// reporting what is wrong with the file, and writing the changes.
namespace cli {

// An image opened to be changed, and the user's file of changes, read.
struct ChangeSource {
    LoadedImage image;
    // Why the image cannot be written, if it cannot: it is still read, as a file without
    // changes needs no write.
    base::Status unwritable;
    std::string name; // what messages call the user's file: its path, or "standard input"
    std::string text;
    bool json = false;
};

// Reads the user's `file` (`-`: standard input; refused above 16 MiB), in the format given or
// the one its name ends in, then opens the image at `image` with one open, locked for writing
// unless `dryRun` (the lock holds from reading the table to the last flush, so no other write
// comes in between). A dry run writes nothing, and fails on a journal left beside the image,
// saying what its recovery would do.
[[nodiscard]] base::Result<ChangeSource> openForChanges(const Context& context,
                                                        const std::string& image,
                                                        const std::string& file,
                                                        const std::string& format, bool dryRun);

// Lists the first problems of the file `name` on standard error, then how many more, and
// fails: "3 problems in stats.csv; nothing was written".
[[nodiscard]] base::Status reportProblems(const Context& context, const std::string& name,
                                          const tables::ProblemList& problems);

// Writes `changes` into the image, once every line about them has reached standard output
// (changes that could not be shown are not made), under a journal named by `label`.
[[nodiscard]] base::Status writeChanges(const Context& context, LoadedImage& image,
                                        std::span<const FieldChange> changes,
                                        const base::Status& unwritable, const std::string& label);

} // namespace cli
