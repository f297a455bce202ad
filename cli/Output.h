#pragma once

#include "Command.h"

#include "base/Error.h"

#include <initializer_list>
#include <string>

namespace cli {

// Whether `output` names standard output: not given, or "-".
[[nodiscard]] inline bool isStandardOutput(const std::string& output) {
    return output.empty() || output == "-";
}

// Refuses an output file that is one of the `images` a command reads: writing a table or a
// patch over an image would destroy it.
[[nodiscard]] base::Status outputApartFrom(const Context& context, const std::string& output,
                                           std::initializer_list<std::string> images);

// Writes `text` to standard output, or puts it in place of the file `output`, whole.
[[nodiscard]] base::Status writeOutput(const Context& context, const std::string& output,
                                       const std::string& text);

} // namespace cli
