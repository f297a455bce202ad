// Any record decodes, and writing back what was decoded gives the same bytes; any stat text
// gives no value or one from 0 to 255.
#include "RecordCodec.h"
#include "StatText.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    species::RecordBytes record(species::kRecordSize, 0);
    std::copy(data, data + std::min<std::size_t>(size, species::kRecordSize), record.begin());
    const species::FieldValues values = species::decodeRecord(record);
    species::RecordEdit edit{};
    for (const species::FieldDescriptor& field : species::fieldLayout()) {
        const int stored = values[static_cast<std::size_t>(field.field)];
        const int index = species::asListIndex(stored, field);
        if (field.width == 1 && (index < 0 || index > 255))
            std::abort();
        // A list index goes back as the same bits, -1 included.
        edit[static_cast<std::size_t>(field.field)] = !field.isNumber() ? index : stored;
    }
    species::RecordBytes rewritten = record;
    species::applyEdit(rewritten, edit);
    if (rewritten != record)
        std::abort();

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const std::optional<int> value = species::statValue(text);
        value && (*value < 0 || *value > 255))
        std::abort();
    return 0;
}
