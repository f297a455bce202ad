#include "Identification.h"

#include "Text.h"

namespace nds {

base::Result<const GameEdition*> identifyImage(files::SysIo& io, const std::string& path) {
    base::Result<files::OpenFile> file =
        files::OpenFile::open(io, path, files::SysIo::Mode::ReadOnly);
    if (!file.ok())
        return file.error();
    return identifyImage(file.value());
}

base::Result<const GameEdition*> identifyImage(files::OpenFile& file) {
    const auto unsupported = [&](const std::string& reason) {
        return base::Error::at(base::Error::Kind::Unsupported, file.path(), 0, "", reason);
    };
    if (file.size() < kGameCodeOffset + kGameCodeLength)
        return unsupported("too short to hold a game code");
    base::Result<files::Bytes> read = file.read(kGameCodeOffset, kGameCodeLength);
    if (!read.ok())
        return read.error();
    const std::string code(read.value().begin(), read.value().end());
    if (const GameEdition* edition = findEdition(code))
        return edition;
    return unsupported("unsupported game code " + base::quoted(code));
}

} // namespace nds
