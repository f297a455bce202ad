// Any bytes found where a journal should be decode as whole, torn or foreign, and a whole one
// encodes back to exactly the bytes it was read from: recovery only ever acts on a journal
// that this program wrote as it stands.
#include "files/Journal.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const files::DecodedJournal decoded = files::decodeJournal(bytes);
    if (decoded.state != files::DecodedJournal::State::Whole)
        return 0;
    for (const files::Rewrite& span : decoded.content.spans)
        if (span.offset < 0 || span.before.size() != span.after.size())
            std::abort();
    const files::Bytes again = files::encodeJournal(decoded.content);
    if (!std::equal(again.begin(), again.end(), bytes.begin(), bytes.end()))
        std::abort();
    return 0;
}
