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

namespace {

constexpr int kEndMark = 0xFFFF;

// Where the list's end mark lies, in words, or the record's size in words when it has none.
std::size_t endOfList(std::span<const std::uint8_t> bytes) {
    std::size_t at = 0;
    while (2 * at + 1 < bytes.size() && base::read16(bytes, 2 * at) != kEndMark)
        ++at;
    return at;
}

} // namespace

Value Record::value(Field field) const {
    if (!descriptor(field).isList())
        return get(field);
    std::vector<int> items;
    for (std::size_t at = 0, end = endOfList(m_bytes); at < end; ++at)
        items.push_back(base::read16(m_bytes, 2 * at));
    return Value::list(std::move(items));
}

void Record::set(Field field, const Value& value) {
    if (!descriptor(field).isList()) {
        set(field, value.number());
        return;
    }
    // The list, its end mark, and what follows as the record was padded: it keeps its size
    // where the list fits, and is padded with zeros to a multiple of 4 where it does not.
    const std::size_t needed = 2 * value.items().size() + 2;
    const std::size_t end = 2 * endOfList(m_bytes) + 2;
    const bool fits = needed <= m_bytes.size();
    const std::uint8_t padding = fits && end < m_bytes.size() ? m_bytes[end] : 0;
    std::vector<std::uint8_t> bytes(fits ? m_bytes.size() : (needed + 3) / 4 * 4, padding);
    for (std::size_t i = 0; i < value.items().size(); ++i)
        base::write16(bytes, 2 * i, static_cast<std::uint16_t>(value.items()[i]));
    base::write16(bytes, needed - 2, kEndMark);
    m_bytes = std::move(bytes);
}

} // namespace species
