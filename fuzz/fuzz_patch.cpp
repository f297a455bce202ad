// Any text as a patch, CSV or JSON: the reader never crashes, and a patch it accepts holds
// only changes it could apply, and reads back the same once written out again.
#include "tables/PatchFormat.h"

#include <algorithm>
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
    // Each value fits its field: a number its bits, a list its words.
    const auto fits = [](const species::FieldDescriptor& field, const species::Value& value) {
        if (field.isList())
            return std::all_of(value.items().begin(), value.items().end(),
                               [](int word) { return word >= 0 && word < 0xFFFF; });
        return value.number() >= 0 && value.number() < (1 << field.bits);
    };
    for (const species::Change& change : input.patch.changes) {
        const species::FieldDescriptor& field = species::descriptor(change.field);
        if (change.position < 0 || change.position >= species::kAllEntries ||
            !fits(field, change.before) || !fits(field, change.after))
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
