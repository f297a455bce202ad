// Any text as a patch, CSV or JSON: the reader never crashes, and a patch it accepts holds
// only changes it could apply, and reads back the same once written out again.
#include "tables/PatchFormat.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
#ifdef PATCH_FORMAT_JSON
    const tables::PatchInput input = tables::readJsonPatch(text);
#else
    const tables::PatchInput input = tables::readCsvPatch(text);
#endif
    if (!input.problems.empty())
        return 0;
    for (const species::Change& change : input.patch.changes) {
        const int largest = (1 << species::descriptor(change.field).bits) - 1;
        if (change.position < 0 || change.position >= species::kAllEntries || change.before < 0 ||
            change.before > largest || change.after < 0 || change.after > largest)
            std::abort();
    }
    for (const bool json : {false, true}) {
        const tables::PatchInput again =
            json ? tables::readJsonPatch(tables::patchToJson(input.patch))
                 : tables::readCsvPatch(tables::patchToCsv(input.patch));
        if (!again.problems.empty() || again.patch.changes.size() != input.patch.changes.size())
            std::abort();
        for (std::size_t i = 0; i < again.patch.changes.size(); ++i) {
            const species::Change& a = input.patch.changes[i];
            const species::Change& b = again.patch.changes[i];
            if (a.position != b.position || a.field != b.field || a.before != b.before ||
                a.after != b.after)
                std::abort();
        }
    }
    return 0;
}
