#include "Identification.h"

#include "base/Text.h"

#include <algorithm>

namespace nds {

base::Result<const GameEdition*> identifyImage(files::SysIo& io, const std::string& path) {
    base::Result<files::OpenFile> file =
        files::OpenFile::open(io, path, files::SysIo::Mode::ReadOnly);
    if (!file.ok())
        return file.error();
    return identifyImage(file.value());
}

base::Result<const GameEdition*> identifyImage(files::OpenFile& file) {
    // "stats.csv is not a DS ROM image: ...", in words, for a table given in place of an image.
    const auto notAnImage = [&](const std::string& why) {
        return base::Error::at(base::Error::Kind::NotAnImage, "", 0, "",
                               "\"" + file.path() + "\" is not a DS ROM image: " + why);
    };
    if (file.size() < kGameCodeOffset + kGameCodeLength)
        return notAnImage("it is too short to hold a game code");
    base::Result<files::Bytes> read = file.read(kGameCodeOffset, kGameCodeLength);
    if (!read.ok())
        return read.error();
    const std::string code(read.value().begin(), read.value().end());
    if (const GameEdition* edition = findEdition(code))
        return edition;
    // Every DS game code is four capital letters or digits.
    const bool isCode = std::all_of(code.begin(), code.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
    if (!isCode)
        return notAnImage("it has no game code");
    return base::Error::at(base::Error::Kind::Unsupported, file.path(), 0, "",
                           "unsupported game code " + base::quoted(code));
}

} // namespace nds
