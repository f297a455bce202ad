#include "Commands.h"

#include "ImageCheck.h"
#include "ImportPlan.h"

#include "FileAccess.h"
#include "Identification.h"
#include "MessageText.h"
#include "SampleImage.h"
#include "TableLocation.h"
#include "TableReader.h"
#include "TableWriter.h"
#include "Vocabulary.h"

#include <algorithm>
#include <set>

namespace cli {
namespace {

// A whole table with every text is well under 4 MiB.
constexpr std::int64_t kMaxTableFile = 16 << 20;

// The table format given, or the one that `name` ends in: "json" or "csv".
std::string tableFormat(const std::string& given, const std::string& name) {
    if (!given.empty())
        return given;
    return name.ends_with(".json") ? "json" : "csv";
}

std::string counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

ExitCode Commands::usage(const std::string& command, const std::string& message) {
    const std::string prefix = command.empty() ? "" : command + " ";
    m_err << "statwright-cli: " << (command.empty() ? "" : command + ": ") << message << "\n"
          << "Try 'statwright-cli " << prefix << "--help'.\n";
    return ExitCode::Usage;
}

ExitCode Commands::fail(const Failure& failure) {
    m_err << "statwright-cli: " << failure.message << "\n";
    return failure.code;
}

std::optional<ImageTable> Commands::load(const std::string& path, ExitCode& code) {
    std::variant<ImageTable, Failure> image = loadImageTable(m_io, path);
    if (const auto* failure = std::get_if<Failure>(&image)) {
        code = fail(*failure);
        return std::nullopt;
    }
    return std::get<ImageTable>(std::move(image));
}

ExitCode Commands::identify(const std::string& path) {
    files::Result<files::OpenFile> file =
        files::OpenFile::open(m_io, path, files::SysIo::Mode::ReadOnly);
    if (!file.ok())
        return fail(imageFailure(file.error()));
    const files::Result<const nds::GameEdition*> found =
        nds::identifyImage(file.value(), nds::Editions::AnyRegion);
    if (!found.ok())
        return fail(imageFailure(found.error()));
    const nds::GameEdition& edition = *found.value();
    m_out << "code: " << edition.code << "\ntitle: " << edition.title
          << "\nlanguage: " << edition.language << "\n";
    const files::Result<species::TablePlace> place = species::findTable(file.value(), edition);
    if (!place.ok())
        return fail(tableFailure(place.error(), edition));
    const std::int64_t base = place.value().base;
    m_out << "record base: " << files::hexNumber(base) << " (" << base << ")\n";
    if (place.value().archive.empty())
        m_out << "table: at the fixed base of " << edition.code
              << ", as the image has no file system\n";
    else
        m_out << "table: " << place.value().archive << " at " << files::hexNumber(base) << ", "
              << place.value().entries << " entries\n";
    return ExitCode::Success;
}

ExitCode Commands::exportTable(const ExportOptions& options) {
    const std::string format = tableFormat(options.format, options.output);
    if (format != "csv" && format != "json")
        return usage("export", "--format is csv or json, not '" + format + "'");
    if (!options.output.empty() && options.output != "-") {
        files::FileStatus image, output;
        if (m_io.status(options.image, image) == 0 && m_io.status(options.output, output) == 0 &&
            image.sameFile(output))
            return usage("export",
                         "'" + options.output + "' is the image itself; nothing was written");
    }
    ExitCode code = ExitCode::Success;
    const std::optional<ImageTable> image = load(options.image, code);
    if (!image)
        return code;
    const std::string text = format == "json" ? tables::toJson(*image->edition, image->entries)
                                              : tables::toCsv(image->entries);
    if (options.output.empty() || options.output == "-") {
        m_out << text;
        return ExitCode::Success;
    }
    if (files::Status written =
            files::replaceFile(m_io, options.output, files::Bytes(text.begin(), text.end()));
        !written.ok()) {
        std::string message = written.error().describe();
        if (written.error().kind == files::Error::Kind::NotOwner)
            message += " To write into it in place, as its owner would have it, give -o - and a "
                       "shell redirection into it.";
        return fail({ExitCode::IoFailure, message});
    }
    return ExitCode::Success;
}

ExitCode Commands::reportProblems(const std::string& table, const tables::ProblemList& problems) {
    const std::vector<tables::Problem> shown = problems.shown();
    for (const tables::Problem& problem : shown)
        m_err << table << (problem.line > 0 ? ":" + std::to_string(problem.line) : "") << ": "
              << (problem.where.empty() ? "" : problem.where + ": ") << problem.message << "\n";
    if (problems.count() > shown.size())
        m_err << table << ": and " << problems.count() - shown.size() << " more\n";
    m_err << "statwright-cli: " << counted(problems.count(), "problem", "problems") << " in "
          << table << "; nothing was written\n";
    return ExitCode::InvalidData;
}

ExitCode Commands::importTable(const ImportOptions& options) {
    const std::string format = tableFormat(options.format, options.table);
    if (format != "csv" && format != "json")
        return usage("import", "--format is csv or json, not '" + format + "'");
    ExitCode code = ExitCode::Success;
    const std::optional<ImageTable> image = load(options.image, code);
    if (!image)
        return code;
    files::Result<files::Bytes> bytes =
        options.table == "-"
            ? files::readStream(m_io, files::kStandardInput, "standard input", kMaxTableFile)
            : files::readWholeFile(m_io, options.table, kMaxTableFile);
    if (!bytes.ok())
        return fail(bytes.error().kind == files::Error::Kind::InvalidInput
                        ? Failure{ExitCode::InvalidData, bytes.error().describe()}
                        : imageFailure(bytes.error()));
    const std::string text(bytes.value().begin(), bytes.value().end());
    const tables::InputTable input =
        format == "json" ? tables::readJsonTable(text) : tables::readCsvTable(text);
    const ImportPlan plan = planImport(input, *image);
    if (!plan.problems.empty())
        return reportProblems(options.table == "-" ? "standard input" : options.table,
                              plan.problems);

    std::set<int> entries;
    for (const FieldChange& change : plan.changes) {
        m_out << describeChange(change) << "\n";
        entries.insert(change.position);
    }
    const std::string summary = counted(plan.changes.size(), "change", "changes") + " in " +
                                counted(entries.size(), "entry", "entries");
    if (options.dryRun) {
        m_out << summary << "; dry run, nothing written\n";
        return ExitCode::Success;
    }
    if (plan.changes.empty()) {
        m_out << "no changes; nothing written\n";
        return ExitCode::Success;
    }
    // Changes that could not be shown are not made.
    if (!m_out.flush())
        return fail({ExitCode::IoFailure, "the changes could not be shown; nothing was written"});
    if (const std::optional<Failure> failure = applyImport(m_io, *image, plan.changes))
        return fail(*failure);
    m_out << summary << " written\n";
    return ExitCode::Success;
}

ExitCode Commands::diff(const std::string& first, const std::string& second) {
    ExitCode code = ExitCode::Success;
    const std::optional<ImageTable> a = load(first, code);
    if (!a)
        return code;
    const std::optional<ImageTable> b = load(second, code);
    if (!b)
        return code;
    std::size_t fields = 0;
    std::set<int> entries;
    const std::size_t common = std::min(a->entries.size(), b->entries.size());
    for (std::size_t position = 0; position < common; ++position)
        for (const species::FieldDescriptor& field : species::fieldLayout()) {
            const auto slot = static_cast<std::size_t>(field.field);
            const int before = a->entries[position][slot];
            const int after = b->entries[position][slot];
            if (before == after)
                continue;
            m_out << describeChange({int(position), field.field, before, after}) << "\n";
            ++fields;
            entries.insert(int(position));
        }
    if (a->entries.size() != b->entries.size()) {
        const ImageTable& longer = a->entries.size() > b->entries.size() ? *a : *b;
        const int last = int(longer.entries.size()) - 1;
        m_out << "positions " << common << " to " << last << " ("
              << vocabulary::entryName(int(common)) << " to " << vocabulary::entryName(last)
              << ") are only in " << longer.path << "\n";
    }
    m_out << (fields == 0 ? "no differences"
                          : counted(fields, "field differs", "fields differ") + " in " +
                                counted(entries.size(), "entry", "entries"))
          << "\n";
    return ExitCode::Success;
}

ExitCode Commands::check(const std::string& path) {
    const std::variant<CheckReport, Failure> checked = checkImage(m_io, path);
    if (const auto* failure = std::get_if<Failure>(&checked))
        return fail(*failure);
    const CheckReport& report = std::get<CheckReport>(checked);
    m_out << report.text;
    if (report.verdict == CheckReport::Verdict::NotFound)
        return fail(report.problem);
    return ExitCode::Success;
}

ExitCode Commands::sample(const std::string& output, const std::string& code) {
    const nds::GameEdition* edition = nds::findEdition(code);
    if (!edition) {
        std::string codes;
        for (const nds::GameEdition& known : nds::gameEditions())
            codes += (codes.empty() ? "" : ", ") + std::string(known.code);
        return usage("sample", "--code is one of " + codes + ", not '" + code + "'");
    }
    if (files::Status written = files::writeNewFile(m_io, output, species::sampleImage(*edition));
        !written.ok())
        return fail({ExitCode::IoFailure, written.error().describe()});
    m_out << "wrote " << output << ": an image coded " << edition->code
          << " with made-up values, for trying Statwright out\n";
    return ExitCode::Success;
}

} // namespace cli
