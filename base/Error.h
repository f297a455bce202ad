#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace base {

// What went wrong, in one shape for the whole program: reading and writing files, what an
// image holds, what the user gave. The core returns it; only the front ends decide how the
// user sees it.
struct Error {
    enum class Kind {
        System,         // the system refused: `systemError` is its error number
        PastEnd,        // a read or write beyond the file's end
        OutsideFile,    // a position no file has
        NotRegularFile, // a directory, FIFO, socket or device where a file must be; `reason`
                        // says which
        NotOwner,       // another user's file, which only its owner or root may replace
        Refused,        // a file the program will not write into, for its own safety: one
                        // with several names
        BadContent,     // the file's own bytes rule the operation out: a table missing or damaged
        NotAnImage,     // no DS image at all: it has no game code
        Unsupported,    // a DS image, of a game the program does not know
        InvalidInput,   // what the user gave: a cell of a table, a file too large to be one
        Usage,          // the command line
    };

    Kind kind = Kind::System;
    int systemError = 0;      // the system's error number (errno), only where the system gave one
    std::string action;       // what could not be done: "open", "read 44 bytes of"; may be empty
    std::string path;         // the file, or the table as the user named it
    std::int64_t offset = -1; // the byte of the file it happened at, or -1
    int line = 0;             // the line of a table it happened on, or 0
    std::string where;        // the column or member of a table, or empty
    std::string reason;       // in words

    // One sentence for the user that names the file, the place and the reason, with control
    // and bidirectional characters shown as escapes, wherever they came from:
    //   Could not read 44 bytes of "a.nds" at offset 12: Input/output error.
    //   a.nds: unsupported game code "ADAP"
    //   stats.csv:12: hp: 300 is not between 0 and 255
    [[nodiscard]] std::string describe() const;

    // The system refused `action` on `path` with `errorNumber`.
    [[nodiscard]] static Error system(int errorNumber, std::string action, std::string path,
                                      std::int64_t offset = -1);
    // `action` on `path` could not be done, for a `reason` of the program's own.
    [[nodiscard]] static Error failed(Kind kind, std::string action, std::string path,
                                      std::string reason, std::int64_t offset = -1);
    // A BadContent error: `reason` says, in words, what the file holds instead.
    [[nodiscard]] static Error badContent(std::string action, std::string path, std::string reason);
    // A NotRegularFile error for `path`, which is `kind` ("a FIFO").
    [[nodiscard]] static Error notRegular(std::string path, std::string kind);
    // Something wrong with what `path` holds, found at a `line` (0: the file as a whole) and
    // a column or member `where` (may be empty): a table's cell, an image's game code.
    [[nodiscard]] static Error at(Kind kind, std::string path, int line, std::string where,
                                  std::string reason);

private:
    [[nodiscard]] std::string sentence() const;
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
    [[nodiscard]] Error& error() { return std::get<Error>(m_state); }

private:
    std::variant<T, Error> m_state;
};

class [[nodiscard]] Status {
public:
    Status() = default;
    Status(Error error) : m_error(std::move(error)) {}

    [[nodiscard]] bool ok() const noexcept { return !m_error.has_value(); }
    [[nodiscard]] const Error& error() const { return *m_error; }
    [[nodiscard]] Error& error() { return *m_error; }

private:
    std::optional<Error> m_error;
};

} // namespace base
