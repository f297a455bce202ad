#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace files {

// What went wrong in a file operation. `code` is the platform's error number (errno); for
// conditions the platform does not treat as errors (a read past the end of the file, bad
// input) it is the nearest errno and `reason` is our own description.
struct Error {
    enum class Kind {
        Platform,
        PastEndOfFile,
        InvalidInput,
        BadContent,     // the file's own bytes rule the operation out: a table missing or malformed
        NotRegularFile, // a directory, FIFO, socket or device where a file must be; `reason`
                        // says which
        NotOwner,       // another user's file, which only its owner or root may replace
    };

    Kind kind = Kind::Platform;
    int code = 0;
    std::string reason;
    std::string action; // "open", "read 44 bytes of", ...
    std::string path;
    std::int64_t offset = -1; // -1 when the failure is not at a position

    // One sentence for the user that names the file, the position and the reason.
    [[nodiscard]] std::string describe() const;

    static Error fromErrno(int errorNumber, std::string action, std::string path,
                           std::int64_t offset = -1);
    // A BadContent error: `reason` says, in words, what the file holds instead.
    static Error badContent(std::string action, std::string path, std::string reason);
    // A NotRegularFile error for `path`, which is `kind` ("a FIFO").
    static Error notRegular(std::string path, const std::string& kind);
};

template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Error error) : m_state(std::move(error)) {}

    [[nodiscard]] bool ok() const noexcept { return std::holds_alternative<T>(m_state); }
    [[nodiscard]] const T& value() const& { return std::get<T>(m_state); }
    [[nodiscard]] T& value() & { return std::get<T>(m_state); }
    [[nodiscard]] T&& value() && { return std::get<T>(std::move(m_state)); }
    [[nodiscard]] const Error& error() const { return std::get<Error>(m_state); }

private:
    std::variant<T, Error> m_state;
};

class [[nodiscard]] Status {
public:
    Status() = default;
    Status(Error error) : m_error(std::move(error)) {}

    [[nodiscard]] bool ok() const noexcept { return !m_error.has_value(); }
    [[nodiscard]] const Error& error() const { return *m_error; }

private:
    std::optional<Error> m_error;
};

} // namespace files
