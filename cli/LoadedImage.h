#pragma once

#include "Command.h"
#include "Error.h"
#include "GameEdition.h"
#include "OpenFile.h"
#include "RecordStore.h"
#include "SysIo.h"

#include <string>

namespace cli {

// An image open for one command, locked, and identified among every region of the games.
struct OpenImage {
    files::OpenFile file;
    const nds::GameEdition* edition = nullptr;
    files::OpenNotes notes;
};

// Opens the image at `path` for `access`, locked, after recovering it from any journal of an
// interrupted write (which is told on standard error), and identifies it.
[[nodiscard]] base::Result<OpenImage> openImage(const Context& context, const std::string& path,
                                                files::Access access);

// An image open for one command: identified, and its table read where its game reads it.
struct LoadedImage {
    files::OpenFile file;
    const nds::GameEdition* edition = nullptr;
    species::TableRead table;
    files::OpenNotes notes;
};

// Opens the image at `path` as openImage() does, and reads its table, all in one open that the
// caller may go on using.
[[nodiscard]] base::Result<LoadedImage> loadImage(const Context& context, const std::string& path,
                                                  files::Access access);

} // namespace cli
