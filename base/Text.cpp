#include "Text.h"

#include <algorithm>
#include <vector>

namespace base {
namespace {

// `value` in `count` upper-case hex digits.
std::string hexDigits(unsigned value, int count) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (int shift = 4 * (count - 1); shift >= 0; shift -= 4)
        text += kDigits[(value >> shift) & 0xF];
    return text;
}

constexpr std::size_t kQuotedLimit = 40;

// The length of the valid UTF-8 sequence of a printable character at the start of `text`, or 0.
std::size_t printableSequence(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead >= 0x20 && lead < 0x7F)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead == 0xC2) {
        length = 2;
        low = 0xA0; // U+0080 to U+009F are the C1 control characters
    } else if (lead > 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

// The code point of a character at the start of `text` that a message must not show as it is,
// or 0: the bidirectional controls, which reorder the text around them on a terminal or in a
// window (U+061C, U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069), and the line and
// paragraph separators, which break a line in a window (U+2028, U+2029).
unsigned hiddenControl(std::string_view text) {
    const std::size_t length = printableSequence(text);
    if (length != 2 && length != 3)
        return 0;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]) & 0x3Fu; };
    const unsigned point =
        length == 2
            ? ((static_cast<unsigned char>(text[0]) & 0x1Fu) << 6) | byte(1)
            : ((static_cast<unsigned char>(text[0]) & 0x0Fu) << 12) | (byte(1) << 6) | byte(2);
    const bool hidden = point == 0x061C || point == 0x200E || point == 0x200F || point == 0x2028 ||
                        point == 0x2029 || (point >= 0x202A && point <= 0x202E) ||
                        (point >= 0x2066 && point <= 0x2069);
    return hidden ? point : 0;
}

} // namespace

std::string printable(std::string_view text, std::size_t limit, bool escapeQuotes) {
    std::string safe;
    std::size_t characters = 0;
    while (!text.empty()) {
        if (characters++ == limit)
            return safe + "...";
        std::size_t length = printableSequence(text);
        if (const unsigned point = hiddenControl(text)) {
            safe += "\\u" + hexDigits(point, 4);
        } else if (length > 0 && !(escapeQuotes && (text.front() == '"' || text.front() == '\\'))) {
            safe.append(text.substr(0, length));
        } else {
            safe += "\\x" + hexDigits(static_cast<unsigned char>(text.front()), 2);
            length = 1;
        }
        text.remove_prefix(length);
    }
    return safe;
}

std::string hexNumber(std::int64_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value > 0);
    return "0x" + text;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string_view withoutByteOrderMark(std::string_view text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    return text;
}

std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string quoted(std::string_view text) {
    return "\"" + printable(text, kQuotedLimit, true) + "\"";
}

} // namespace base
