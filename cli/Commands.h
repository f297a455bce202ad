#pragma once

#include "ExitCode.h"
#include "ImageTable.h"

#include "TableReader.h"

#include "SysIo.h"

#include <optional>
#include <ostream>
#include <string>

namespace cli {

struct ExportOptions {
    std::string image;
    std::string format; // "csv", "json", or empty: from the output's name
    std::string output; // empty: standard output
};

struct ImportOptions {
    std::string image;
    std::string table;
    std::string format; // "csv", "json", or empty: from the table's name
    bool dryRun = false;
};

// The commands of statwright-cli, once their arguments are parsed. Reports go to `out`,
// failures to `err`; each gives the exit status.
class Commands {
public:
    Commands(std::ostream& out, std::ostream& err, files::SysIo& io)
        : m_out(out), m_err(err), m_io(io) {}

    ExitCode identify(const std::string& image);
    ExitCode exportTable(const ExportOptions& options);
    ExitCode importTable(const ImportOptions& options);
    ExitCode diff(const std::string& first, const std::string& second);
    ExitCode check(const std::string& image);
    ExitCode sample(const std::string& output, const std::string& code);

    // Says what was wrong with the command line and where to read more.
    ExitCode usage(const std::string& command, const std::string& message);

private:
    ExitCode fail(const Failure& failure);
    std::optional<ImageTable> load(const std::string& path, ExitCode& code);
    ExitCode reportProblems(const std::string& table, const tables::ProblemList& problems);

    std::ostream& m_out;
    std::ostream& m_err;
    files::SysIo& m_io;
};

} // namespace cli
