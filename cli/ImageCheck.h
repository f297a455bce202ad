#pragma once

#include "Command.h"

#include "base/Error.h"

#include <string>

namespace cli {

struct CheckReport {
    enum class Verdict {
        Confirmed,    // the archive the game reads holds the table
        NotFound,     // the file system has no such archive, or a malformed one; or another
                      // table of the image is damaged or shares its file
        Unverifiable, // no file system to ask: the edition's fixed base stands in
    };

    Verdict verdict = Verdict::Unverifiable;
    std::string text;    // lines for the user
    base::Error problem; // why the table was not found
};

// Identifies the image, validates the archive that its game reads the table from, and says
// where the edition's fixed base lies: in that archive, in another file (named), or in no
// file. All with one open.
// A journal of an interrupted write is recovered first, and the report says what it held.
[[nodiscard]] base::Result<CheckReport> checkImage(const Context& context, const std::string& path);

} // namespace cli
