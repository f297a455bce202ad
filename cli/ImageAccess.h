#pragma once

#include "Command.h"

#include "species/ImageDocument.h"

namespace cli {

// Says on standard error what the document's openings found since it last said: recoveries
// from journals, and, once a run, that the image's file system has no locks.
void tellNotes(const Context& context, species::ImageDocument& document);

// Opens the document's image, reading every table, and tells what the opening found; an image
// whose base-stat table cannot be found is an error that says why.
[[nodiscard]] base::Result<species::ImageReport> openImage(const Context& context,
                                                           species::ImageDocument& document);

} // namespace cli
