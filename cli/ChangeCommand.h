#pragma once

#include "Command.h"

#include "species/ImageDocument.h"
#include "tables/ChangeFile.h"
#include "tables/TableReader.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace cli {

// What import and apply share, as the commands that write an image share its document: the
// user's file of changes read whole, once, before the image is opened; parsed; its changes
// planned against the image as it is and shown, then written in one save with the journal,
// under one lock from the reading to the last flush; and a summary. Each command only parses
// its kind of file, plans, and says what it did.
class ChangeCommand : public Command {
public:
    void declare(CLI::App& command) final;
    [[nodiscard]] base::Status run(const Context& context) final;

protected:
    // The kind of file the command reads, and what its usage line calls it ("FILE", "PATCH").
    [[nodiscard]] virtual tables::FileKind reads() const = 0;
    [[nodiscard]] virtual std::string_view fileArgument() const = 0;
    // Options of its own, beyond IMAGE, the file, --format and --dry-run.
    virtual void declareMore(CLI::App& command);
    // What the journal calls the write, of the file the user named `file` ("-": standard
    // input): "import of \"stats.csv\"".
    [[nodiscard]] virtual std::string label(const std::string& file) const = 0;
    // Takes in what the file holds, before the image is opened.
    virtual void parse(const tables::ChangeFile& file) = 0;
    // The changes to make of the image as `document` holds it, or an error that refuses them
    // all (whose details are said already).
    [[nodiscard]] virtual base::Result<std::vector<species::Change>>
    plan(const Context& context, const species::ImageDocument& document) = 0;
    // Says what the changes are, before they are written.
    virtual void show(const Context& context, std::span<const species::Change> changes) = 0;
    // The last line: what was changed and written, or why nothing was.
    [[nodiscard]] virtual std::string outcome(std::span<const species::Change> changes) const = 0;
    // What still fails a run that wrote what it could: nothing, for most.
    [[nodiscard]] virtual base::Status verdict(std::span<const species::Change> changes) const;

    [[nodiscard]] bool dryRun() const { return m_dryRun; }
    [[nodiscard]] const std::string& image() const { return m_image; }
    // What messages call the file: its path, or "standard input".
    [[nodiscard]] const std::string& fileName() const { return m_fileName; }
    // The image's game once it is read, whose lists name the values in the lines of changes,
    // as the window and `diff -f text` name them.
    [[nodiscard]] std::optional<nds::Game> names() const { return m_names; }

    // Lists the first problems of the file on standard error, then how many more, and fails:
    // "3 problems in stats.csv; nothing was written".
    [[nodiscard]] base::Error reportProblems(const Context& context,
                                             const tables::ProblemList& problems) const;

private:
    [[nodiscard]] base::Error imageFirst(const Context& context, base::Error failure) const;

    std::string m_image;
    std::string m_file;
    std::string m_fileName;
    std::string m_format; // "csv", "json", or empty: from the file's name
    bool m_dryRun = false;
    std::optional<nds::Game> m_names;
};

} // namespace cli
