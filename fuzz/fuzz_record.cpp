// Any record reads field by field, and writing back what was read, or what its lists show,
// gives the same bytes; any stat text gives no value or one from 0 to 255.
#include "species/Record.h"
#include "species/StatText.h"
#include "species/ValueRules.h"

#include <array>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::array<std::uint8_t, species::kRecordSize> bytes{};
    std::copy(data, data + std::min<std::size_t>(size, bytes.size()), bytes.begin());
    const species::Record record{std::span<const std::uint8_t, species::kRecordSize>(bytes)};
    species::Record rewritten = record;
    for (const species::FieldDescriptor& field : species::fieldLayout()) {
        const int stored = record.get(field.field);
        if (stored < 0 || stored >= (1 << field.bits))
            std::abort();
        // A list entry goes back as the same bits, no selection (-1) included; a value without
        // an entry is kept as it is.
        const std::optional<int> entry = species::shownEntry(field, stored, nds::Game::HeartGold);
        rewritten.set(field.field, !field.isNumber() && entry ? *entry : stored);
    }
    if (rewritten != record)
        std::abort();

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const std::optional<int> value = species::statValue(text);
        value && (*value < 0 || *value > 255))
        std::abort();
    return 0;
}
