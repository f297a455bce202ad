#pragma once

#include "Error.h"
#include "GameEdition.h"
#include "OpenFile.h"
#include "RecordStore.h"
#include "SysIo.h"

#include <string>

namespace cli {

// An image open for one command, identified among every region of the games.
struct OpenImage {
    files::OpenFile file;
    const nds::GameEdition* edition = nullptr;
};

// Opens the image at `path` in `mode` and identifies it.
[[nodiscard]] files::Result<OpenImage> openImage(files::SysIo& io, const std::string& path,
                                                 files::SysIo::Mode mode);

// An image open for one command: identified, and its table read where its game reads it.
struct LoadedImage {
    files::OpenFile file;
    const nds::GameEdition* edition = nullptr;
    species::TableRead table;
};

// Opens the image at `path` in `mode`, identifies it and reads its table, all in one open that
// the caller may go on using. An edition without a fixed base whose table its image does not
// hold is an unsupported one.
[[nodiscard]] files::Result<LoadedImage> loadImage(files::SysIo& io, const std::string& path,
                                                   files::SysIo::Mode mode);

// The same failure, for an edition known only through its file system: without its table,
// the image is not one the program supports.
[[nodiscard]] files::Error tableNotFound(files::Error error, const nds::GameEdition& edition);

} // namespace cli
