#include "IoError.h"

#include <cerrno>
#include <cstring>

namespace rom {

std::string IoError::describe() const {
    if (kind == Kind::NotRegularFile)
        return "\"" + path + "\" is not a regular file (it is " + reason + ").";
    std::string text = "Could not " + action + " \"" + path + "\"";
    if (offset >= 0)
        text += " at offset " + std::to_string(offset);
    text += ": " + reason;
    if (!text.empty() && text.back() != '.')
        text += '.';
    return text;
}

IoError IoError::fromErrno(int errorNumber, std::string action, std::string path,
                           std::int64_t offset) {
    IoError error;
    error.kind = Kind::Platform;
    error.code = errorNumber;
    error.reason = std::strerror(errorNumber);
    error.action = std::move(action);
    error.path = std::move(path);
    error.offset = offset;
    return error;
}

IoError IoError::badContent(std::string action, std::string path, std::string reason) {
    IoError error = fromErrno(EINVAL, std::move(action), std::move(path));
    error.kind = Kind::BadContent;
    error.reason = std::move(reason);
    return error;
}

IoError IoError::notRegular(std::string path, const std::string& kind) {
    IoError error = fromErrno(EINVAL, "open", std::move(path));
    error.kind = Kind::NotRegularFile;
    error.reason = kind;
    return error;
}

} // namespace rom
