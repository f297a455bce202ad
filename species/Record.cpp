#include "Record.h"

#include <algorithm>

namespace species {

Record::Record(std::span<const std::uint8_t, kSize> bytes) {
    std::copy(bytes.begin(), bytes.end(), m_bytes.begin());
}

Record Record::at(std::span<const std::uint8_t> bytes, std::size_t at) {
    return Record(bytes.subspan(at).first<kSize>());
}

int Record::get(Field field) const {
    const FieldDescriptor& d = descriptor(field);
    const auto at = static_cast<std::size_t>(d.offset);
    if (d.width == 1)
        return m_bytes[at];
    return m_bytes[at] | (m_bytes[at + 1] << 8);
}

void Record::set(Field field, int value) {
    const FieldDescriptor& d = descriptor(field);
    const auto at = static_cast<std::size_t>(d.offset);
    const auto bits = static_cast<unsigned>(value);
    m_bytes[at] = static_cast<std::uint8_t>(bits & 0xFFu);
    if (d.width == 2)
        m_bytes[at + 1] = static_cast<std::uint8_t>((bits >> 8) & 0xFFu);
}

void Record::apply(const RecordEdit& edit) {
    for (const FieldDescriptor& d : fieldLayout())
        if (const std::optional<int>& value = edit[d.field])
            set(d.field, *value);
}

} // namespace species
