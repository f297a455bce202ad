#include "SysIo.h"

namespace files {

std::string FileStatus::kind() const {
    switch (mode & mode::kType) {
    case mode::kDirectory:
        return "a directory";
    case mode::kFifo:
        return "a FIFO";
    case mode::kSocket:
        return "a socket";
    case mode::kCharacterDevice:
        return "a character device";
    case mode::kBlockDevice:
        return "a block device";
    case mode::kLink:
        return "a symbolic link";
    case mode::kRegular:
        return "a regular file";
    default:
        return "of an unknown type";
    }
}

} // namespace files
