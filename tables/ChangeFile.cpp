#include "ChangeFile.h"

#include "files/FileAccess.h"

namespace tables {

base::Result<ChangeFile> readChangeFile(files::SysIo& io, const std::string& path) {
    const std::string name = path == "-" ? "standard input" : path;
    base::Result<files::Bytes> bytes =
        path == "-" ? files::readStream(io, files::kStandardInput, name, kMaxChangeFile)
                    : files::readWholeFile(io, path, kMaxChangeFile);
    if (!bytes.ok())
        return bytes.error();
    ChangeFile read{name, std::string(bytes.value().begin(), bytes.value().end())};
    read.kind = kindOf(read.text);
    read.json = startsLikeJson(read.text);
    return read;
}

} // namespace tables
