#pragma once

#include "SysIo.h"

#include <ostream>
#include <string>
#include <vector>

namespace cli {

// Runs `statwright-cli` with `arguments` (without the program name). Reports go to `out`,
// failures to `err`; the result is the exit status.
int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
        rom::SysIo& io = rom::systemIo());

} // namespace cli
