#include "Error.h"

#include "Text.h"

#include <cstring>

namespace base {

std::string Error::describe() const {
    return printable(sentence());
}

std::string Error::sentence() const {
    if (kind == Kind::NotRegularFile)
        return "\"" + path + "\" is not a regular file (it is " + reason + ").";
    if (action.empty()) {
        std::string text = path;
        if (line > 0)
            text += ":" + std::to_string(line);
        if (!text.empty())
            text += ": ";
        if (!where.empty())
            text += where + ": ";
        return text + reason;
    }
    std::string text = "Could not " + action + " \"" + path + "\"";
    if (offset >= 0)
        text += " at offset " + std::to_string(offset);
    text += ": " + reason;
    if (text.back() != '.')
        text += '.';
    return text;
}

Error Error::system(int errorNumber, std::string action, std::string path, std::int64_t offset) {
    Error error = failed(Kind::System, std::move(action), std::move(path),
                         std::strerror(errorNumber), offset);
    error.systemError = errorNumber;
    return error;
}

Error Error::failed(Kind kind, std::string action, std::string path, std::string reason,
                    std::int64_t offset) {
    Error error;
    error.kind = kind;
    error.action = std::move(action);
    error.path = std::move(path);
    error.offset = offset;
    error.reason = std::move(reason);
    return error;
}

Error Error::badContent(std::string action, std::string path, std::string reason) {
    return failed(Kind::BadContent, std::move(action), std::move(path), std::move(reason));
}

Error Error::notRegular(std::string path, std::string kind) {
    return failed(Kind::NotRegularFile, "open", std::move(path), std::move(kind));
}

Error Error::at(Kind kind, std::string path, int line, std::string where, std::string reason) {
    Error error = failed(kind, "", std::move(path), std::move(reason));
    error.line = line;
    error.where = std::move(where);
    return error;
}

} // namespace base
