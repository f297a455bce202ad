#pragma once

#include "files/SysIo.h"

#include <ostream>
#include <string>
#include <vector>

namespace cli {

// Runs `statwright-cli` with `arguments` (without the program name). Reports go to `out`,
// failures to `err`; the result is the exit status.
int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
        files::SysIo& io = files::systemIo());

// Runs it as the process does: reports on standard output, which is flushed and checked
// before the status is given, so that output that did not all arrive (a full disk, a closed
// pipe) is a failure and never a success.
int runOnStandardStreams(const std::vector<std::string>& arguments,
                         files::SysIo& io = files::systemIo());

} // namespace cli
