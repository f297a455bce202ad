// Hex text through the byte helpers: parsing and printing agree, swapping twice is the
// identity, and whatever WriteHexBytes accepts, ReadHexBytes gives back in upper case.
#include "HexFunctions.h"
#include "MemoryIo.h"

#include <cctype>
#include <cstdlib>

namespace {
class Silent final : public rom::ErrorReporter {
public:
    void report(const rom::IoError&) override { ++reports; }
    int reports = 0;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string even = text.size() % 2 ? "0" + text : text;
    if (HexFunctions::SwapHexBytes(HexFunctions::SwapHexBytes(text)) != even)
        std::abort();

    const std::optional<rom::Bytes> bytes = HexFunctions::fromHexText(text);
    std::string upper = even;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (bytes && HexFunctions::toHexText(*bytes) != upper)
        std::abort();

    std::vector<std::uint8_t> image(64 + size, 0xEE);
    MemoryIo io(image.data(), image.size());
    Silent reporter;
    const bool written = HexFunctions::WriteHexBytes("image.nds", 32, text, reporter, io);
    if (written != bytes.has_value() || (!written && io.bytes() != image))
        std::abort();
    if (written &&
        HexFunctions::ReadHexBytes("image.nds", 32, static_cast<std::int64_t>(bytes->size()),
                                   reporter, io) != upper)
        std::abort();
    return 0;
}
