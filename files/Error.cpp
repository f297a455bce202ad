#include "Error.h"

#include <cerrno>
#include <cstring>

namespace files {

std::string Error::describe() const {
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

Error Error::fromErrno(int errorNumber, std::string action, std::string path, std::int64_t offset) {
    Error error;
    error.kind = Kind::Platform;
    error.code = errorNumber;
    error.reason = std::strerror(errorNumber);
    error.action = std::move(action);
    error.path = std::move(path);
    error.offset = offset;
    return error;
}

Error Error::badContent(std::string action, std::string path, std::string reason) {
    Error error = fromErrno(EINVAL, std::move(action), std::move(path));
    error.kind = Kind::BadContent;
    error.reason = std::move(reason);
    return error;
}

Error Error::notRegular(std::string path, const std::string& kind) {
    Error error = fromErrno(EINVAL, "open", std::move(path));
    error.kind = Kind::NotRegularFile;
    error.reason = kind;
    return error;
}

} // namespace files
