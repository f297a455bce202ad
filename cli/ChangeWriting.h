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

// The image, open and locked for writing unless `dryRun`: the lock holds from reading the
// table to the last flush, so no other write comes in between. An image that cannot be
// written is still read, as a file without changes needs no write; `unwritable` says why not.
[[nodiscard]] files::Result<LoadedImage> loadToChange(const Context& context,
                                                      const std::string& path, bool dryRun,
                                                      files::Status& unwritable);

// The file the user gives (`-`: standard input), refused above 16 MiB; `name` becomes what
// messages call it.
[[nodiscard]] files::Result<std::string> readInput(const Context& context, const std::string& path,
                                                   std::string& name);

// Lists the first problems of the file `name` on standard error, then how many more, and
// fails: "3 problems in stats.csv; nothing was written".
[[nodiscard]] files::Status reportProblems(const Context& context, const std::string& name,
                                           const tables::ProblemList& problems);

// Writes `changes` into the image, once every line about them has reached standard output
// (changes that could not be shown are not made), under a journal named by `label`.
[[nodiscard]] files::Status writeChanges(const Context& context, LoadedImage& image,
                                         std::span<const FieldChange> changes,
                                         const files::Status& unwritable, const std::string& label);

} // namespace cli
