#pragma once

#include "OpenNotices.h"

#include "base/Error.h"
#include "files/SysIo.h"

#include <functional>
#include <ostream>
#include <string>
#include <string_view>

namespace CLI {
class App;
}

namespace cli {

// What a command works with: where its reports and failures go, and the file system.
struct Context {
    std::ostream& out;
    std::ostream& err;
    files::SysIo& io;
    // The error number of a write to `out` that failed, or 0.
    std::function<int()> outputError;
    OpenNotices& notices;
};

// One command of statwright-cli. It declares its arguments and options once; its usage line
// and help are made from that declaration and the explanation kept next to it.
class Command {
public:
    virtual ~Command() = default;

    [[nodiscard]] virtual std::string_view name() const = 0;
    // One line for the list of commands.
    [[nodiscard]] virtual std::string_view summary() const = 0;
    // The help below the usage line.
    [[nodiscard]] virtual std::string explanation() const = 0;
    // Declares the arguments and options on the command's own part of the command line.
    virtual void declare(CLI::App& command) = 0;
    // Runs the command once the command line is parsed. A failure (a Usage error for a bad
    // value of an option) is reported, and mapped to the exit status, by the caller.
    [[nodiscard]] virtual base::Status run(const Context& context) = 0;
};

} // namespace cli
