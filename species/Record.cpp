#include "Record.h"

#include <algorithm>

namespace species {
namespace {

// The little-endian number in `bytes` from `field.offset` on, as wide as the field spans.
unsigned spanned(const std::array<std::uint8_t, kRecordSize>& bytes, const FieldDescriptor& field) {
    unsigned word = 0;
    for (int i = field.width() - 1; i >= 0; --i)
        word = (word << 8) | bytes[static_cast<std::size_t>(field.offset + i)];
    return word;
}

constexpr unsigned maskOf(const FieldDescriptor& field) {
    return ((1u << field.bits) - 1u) << field.shift;
}

} // namespace

Record::Record(std::span<const std::uint8_t, kSize> bytes) {
    std::copy(bytes.begin(), bytes.end(), m_bytes.begin());
}

Record Record::at(std::span<const std::uint8_t> bytes, std::size_t at) {
    return Record(bytes.subspan(at).first<kSize>());
}

int Record::get(Field field) const {
    const FieldDescriptor& d = descriptor(field);
    return static_cast<int>((spanned(m_bytes, d) & maskOf(d)) >> d.shift);
}

void Record::set(Field field, int value) {
    const FieldDescriptor& d = descriptor(field);
    const unsigned mask = maskOf(d);
    unsigned word =
        (spanned(m_bytes, d) & ~mask) | ((static_cast<unsigned>(value) << d.shift) & mask);
    for (int i = 0; i < d.width(); ++i, word >>= 8)
        m_bytes[static_cast<std::size_t>(d.offset + i)] = static_cast<std::uint8_t>(word & 0xFFu);
}

void Record::apply(const RecordEdit& edit) {
    for (const FieldDescriptor& d : fieldLayout())
        if (const std::optional<int>& value = edit[d.field])
            set(d.field, *value);
}

} // namespace species
