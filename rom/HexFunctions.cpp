#include "HexFunctions.h"

#include "PositionedFile.h"

#include <cerrno>

namespace HexFunctions {
namespace {

std::string evenLength(std::string_view hexText) {
    std::string text(hexText);
    if (text.size() % 2 != 0)
        text.insert(text.begin(), '0');
    return text;
}

int digitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

std::string toHexText(const rom::Bytes& bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const std::uint8_t byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 0x0F];
    }
    return text;
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

std::optional<rom::Bytes> fromHexText(std::string_view hexText) {
    const std::string text = evenLength(hexText);
    rom::Bytes bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = digitValue(text[i]);
        const int low = digitValue(text[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

std::string ReadHexBytes(const std::string& path, std::int64_t offset, std::int64_t count,
                         rom::ErrorReporter& reporter, rom::SysIo& io) {
    rom::Result<rom::Bytes> bytes = rom::readAt(io, path, offset, count);
    if (!bytes.ok()) {
        reporter.report(bytes.error());
        return {};
    }
    return toHexText(bytes.value());
}

bool WriteHexBytes(const std::string& path, std::int64_t offset, std::string_view hexText,
                   rom::ErrorReporter& reporter, rom::SysIo& io) {
    const std::optional<rom::Bytes> bytes = fromHexText(hexText);
    if (!bytes) {
        rom::IoError error = rom::IoError::fromErrno(
            EINVAL, "write the hex text \"" + std::string(hexText) + "\" to", path, offset);
        error.kind = rom::IoError::Kind::InvalidInput;
        error.reason = "it is not made of hexadecimal digit pairs, so nothing was written";
        reporter.report(error);
        return false;
    }
    if (rom::Status status = rom::writeAt(io, path, offset, *bytes); !status.ok()) {
        reporter.report(status.error());
        return false;
    }
    return true;
}

std::string SwapHexBytes(std::string_view hexText) {
    const std::string text = evenLength(hexText);
    std::string swapped;
    swapped.reserve(text.size());
    for (std::size_t end = text.size(); end >= 2; end -= 2)
        swapped.append(text, end - 2, 2);
    return swapped;
}

} // namespace HexFunctions
