#include "Comparison.h"

#include "RecordKinds.h"

#include "base/Text.h"

namespace species {

std::vector<std::string> notCompared(const Tables& a, const std::string& first, const Tables& b,
                                     const std::string& second) {
    std::vector<std::string> notes;
    for (const RecordKind* kind : recordKinds()) {
        const bool inA = a.count(kind->kind()) > 0;
        if (inA == (b.count(kind->kind()) > 0))
            continue;
        notes.push_back(std::string(kind->title()) +
                        " were not compared: " + base::printable(inA ? second : first) +
                        " has no " + std::string(kind->noun()) + ".");
    }
    return notes;
}

} // namespace species
