#include "Record.h"

#include "base/LittleEndian.h"

#include <algorithm>

namespace species {
namespace {

// The little-endian number in `bytes` from `field.offset` on, as wide as the field spans.
unsigned spanned(std::span<const std::uint8_t> bytes, const FieldDescriptor& field) {
    return static_cast<unsigned>(base::readLittleEndian(bytes.subspan(
        static_cast<std::size_t>(field.offset), static_cast<std::size_t>(field.width()))));
}

constexpr unsigned maskOf(const FieldDescriptor& field) {
    return ((1u << field.bits) - 1u) << field.shift;
}

} // namespace

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
    const unsigned word =
        (spanned(m_bytes, d) & ~mask) | ((static_cast<unsigned>(value) << d.shift) & mask);
    base::writeLittleEndian(std::span(m_bytes).subspan(static_cast<std::size_t>(d.offset),
                                                       static_cast<std::size_t>(d.width())),
                            word);
}

Value Record::value(Field field) const {
    return get(field);
}

void Record::set(Field field, const Value& value) {
    set(field, value.number());
}

} // namespace species
