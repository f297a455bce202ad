#include "SysIo.h"

#include <sys/stat.h>

namespace files {

bool FileStatus::isRegular() const {
    return S_ISREG(mode);
}

std::string FileStatus::kind() const {
    if (S_ISDIR(mode))
        return "a directory";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISSOCK(mode))
        return "a socket";
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
    if (S_ISLNK(mode))
        return "a symbolic link";
    return S_ISREG(mode) ? "a regular file" : "of an unknown type";
}

} // namespace files
