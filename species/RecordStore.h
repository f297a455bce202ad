#pragma once

#include "RecordCodec.h"

#include "IoError.h"
#include "SysIo.h"

#include <cstdint>
#include <string>

namespace species {

// File offset of the record at list `position`, or an error for a position outside the list
// or a base that would place it outside any file.
[[nodiscard]] rom::Result<std::int64_t> recordOffset(std::int64_t recordBase, int position);

// The whole 44-byte record, read with one open.
[[nodiscard]] rom::Result<RecordBytes> readRecord(rom::SysIo& io, const std::string& path,
                                                  std::int64_t recordBase, int position);

// Writes the edited fields with one open, one positioned write of the edited span and a flush
// to the device. Bytes that the edit does not set are written back exactly as the file holds
// them at that moment; success means every byte is on disk.
[[nodiscard]] rom::Status saveRecord(rom::SysIo& io, const std::string& path,
                                     std::int64_t recordBase, int position, const RecordEdit& edit);

} // namespace species
