#pragma once

#include "Command.h"

#include "EditSession.h"

namespace cli {

// Says on standard error what the session's openings found since it last said: recoveries
// from journals, and, once a run, that the image's file system has no locks.
void tellNotes(const Context& context, species::EditSession& session);

// Every entry of the session's image, read with one open; what the opening found is told.
[[nodiscard]] base::Result<species::TableRead> readImage(const Context& context,
                                                         species::EditSession& session);

} // namespace cli
