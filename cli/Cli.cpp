#include "Cli.h"

#include "ExitCode.h"
#include "ImageCheck.h"
#include "ImageTable.h"
#include "ImportPlan.h"
#include "TableReader.h"
#include "TableWriter.h"

#include "EditionIdentification.h"
#include "EntryRules.h"
#include "PositionedFile.h"
#include "TableLocation.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

namespace cli {
namespace {

constexpr std::int64_t kMaxTableFile = 64 << 20;

const std::map<std::string, std::string> kHelp = {
    {"", R"(Usage: statwright-cli COMMAND [ARGUMENTS]

Reads and changes the base stats of all entries of a Pokémon Diamond, Pearl or Platinum
ROM image at once, with the same layout, rules and write path as Statwright. The table is
the one the game reads, found through the image's own file system.

Commands:
  identify IMAGE                     the game code, title, language and where the table is
  export IMAGE [-f csv|json] [-o FILE]
                                     every entry as a CSV or JSON table
  import IMAGE FILE [-n]             writes the changes of an edited table into the image
  diff IMAGE_A IMAGE_B               the fields that differ, entry by entry
  check IMAGE                        validates the archive the game reads its table from
  help [COMMAND]                     this text, or a command's

Exit status: 0 success, 1 invalid data or a failed check, 2 wrong usage,
3 a file could not be read or written.
)"},
    {"identify", R"(Usage: statwright-cli identify IMAGE

Prints the game code read at offset 12 of IMAGE, the game's title and language, and
where its base-stat table is: the archive of the image's file system that the game
reads, or, in an image without a file system, the edition's fixed base. Exit status 1
when the image is not supported or its table cannot be found, with the reason.
)"},
    {"export", R"(Usage: statwright-cli export IMAGE [-f|--format csv|json] [-o|--output FILE]

Writes every entry, one row each: the 500 of the species list, and in Platinum's archive
seven more forms (positions 500 to 506). CSV (the default, or when FILE ends in .json,
JSON) has the columns
  position,species,hp,attack,defense,speed,sp_attack,sp_defense,type1,type2,catch_rate,
  base_xp,item1,item2,gender,hatch,base_happiness,max_exp,egg_type1,egg_type2,ability1,
  ability2,run_chance,colour
with every value as stored, in decimal. JSON holds the same values and, next to each
listed value, the text its list shows ("type1_text": "Grass"). Without --output the
table goes to standard output.
)"},
    {"import", R"(Usage: statwright-cli import IMAGE FILE [-n|--dry-run]

Reads an edited table (CSV, or JSON when FILE ends in .json), checks every row before
anything is written, prints each change as "Species: field old -> new", and writes the
changed entries into IMAGE. Every entry of the image needs its row, keyed by position
and named as in the species list; stats lie between 0 and 255, list values within their
list (or unchanged); colours that read wrongly and the gender of species without one
cannot be changed. If a write fails, the entries already written are put back.
--dry-run checks and prints the changes but writes nothing.
)"},
    {"diff", R"(Usage: statwright-cli diff IMAGE_A IMAGE_B

Prints every field that differs between the two images as "Species: field a -> b".
)"},
    {"check", R"(Usage: statwright-cli check IMAGE

Looks up, in the image's own file system, the archive that the game reads its base-stat
table from, and confirms that it is a NARC archive whose members 1 to 500 (to 507 in
Platinum) are 44-byte records back to back. It also says where the edition's fixed base
lies: in that archive, in another file, or in no file. A missing or malformed archive
fails the check (exit status 1). An image without a file system is reported as
unverifiable (exit status 0): its table is read at the edition's fixed base.
)"},
};

struct Arguments {
    std::string command;
    std::vector<std::string> positional;
    std::map<std::string, std::string> options; // "--format" -> "json"; flags map to ""
};

class Runner {
public:
    Runner(std::ostream& out, std::ostream& err, rom::SysIo& io)
        : m_out(out), m_err(err), m_io(io) {}

    int run(const std::vector<std::string>& arguments) {
        if (arguments.empty()) {
            m_err << kHelp.at("");
            return int(ExitCode::Usage);
        }
        std::optional<Arguments> parsed = parse(arguments);
        if (!parsed)
            return int(ExitCode::Usage);
        if (parsed->options.count("--help") || parsed->command == "help") {
            const std::string topic = parsed->command == "help" && !parsed->positional.empty()
                                          ? parsed->positional.front()
                                          : (parsed->command == "help" ? "" : parsed->command);
            if (!kHelp.count(topic))
                return usage("help", "no command named " + topic);
            m_out << kHelp.at(topic);
            return int(ExitCode::Success);
        }
        return int(dispatch(*parsed));
    }

private:
    int usage(const std::string& command, const std::string& message) {
        m_err << "statwright-cli: " << (command.empty() ? "" : command + ": ") << message << "\n"
              << "Try 'statwright-cli " << (command.empty() ? "" : command + " ") << "--help'.\n";
        return int(ExitCode::Usage);
    }

    std::optional<Arguments> parse(const std::vector<std::string>& arguments) {
        static const std::map<std::string, std::set<std::string>> kOptions = {
            {"", {}},
            {"help", {}},
            {"identify", {}},
            {"export", {"--format", "--output"}},
            {"import", {"--dry-run"}},
            {"diff", {}},
            {"check", {}},
        };
        static const std::set<std::string> kTakesValue = {"--format", "--output"};
        Arguments parsed;
        std::size_t i = 0;
        if (arguments[0] == "--help" || arguments[0] == "-h") {
            parsed.options["--help"];
            return parsed;
        }
        parsed.command = arguments[i++];
        if (!kOptions.count(parsed.command) || parsed.command.empty()) {
            usage("", "unknown command '" + parsed.command + "'");
            return std::nullopt;
        }
        for (; i < arguments.size(); ++i) {
            static const std::map<std::string, std::string> kShort = {
                {"-h", "--help"}, {"-f", "--format"}, {"-o", "--output"}, {"-n", "--dry-run"}};
            std::string argument = arguments[i];
            if (const auto alias = kShort.find(argument); alias != kShort.end())
                argument = alias->second;
            if (!argument.starts_with("--") || argument == "--") {
                parsed.positional.push_back(argument);
                continue;
            }
            std::string value;
            if (const auto equals = argument.find('='); equals != std::string::npos) {
                value = argument.substr(equals + 1);
                argument.resize(equals);
            } else if (kTakesValue.count(argument)) {
                if (i + 1 >= arguments.size()) {
                    usage(parsed.command, argument + " needs a value");
                    return std::nullopt;
                }
                value = arguments[++i];
            }
            if (argument != "--help" && !kOptions.at(parsed.command).count(argument)) {
                usage(parsed.command, "unknown option " + argument);
                return std::nullopt;
            }
            parsed.options[argument] = value;
        }
        return parsed;
    }

    ExitCode dispatch(const Arguments& a) {
        static const std::map<std::string, std::size_t> kPositional = {
            {"identify", 1}, {"export", 1}, {"import", 2}, {"diff", 2}, {"check", 1}};
        const std::size_t wanted = kPositional.at(a.command);
        if (a.positional.size() != wanted) {
            usage(a.command, "expects " + std::to_string(wanted) +
                                 (wanted == 1 ? " argument" : " arguments") + ", not " +
                                 std::to_string(a.positional.size()));
            return ExitCode::Usage;
        }
        if (a.command == "identify")
            return identify(a.positional[0]);
        if (a.command == "export")
            return exportTable(a);
        if (a.command == "import")
            return importTable(a.positional[0], a.positional[1], a.options.count("--dry-run") > 0);
        if (a.command == "diff")
            return diff(a.positional[0], a.positional[1]);
        return check(a.positional[0]);
    }

    ExitCode fail(const Failure& failure) {
        m_err << "statwright-cli: " << failure.message << "\n";
        return failure.code;
    }

    std::optional<ImageTable> load(const std::string& path, ExitCode& code) {
        std::variant<ImageTable, Failure> image = loadImageTable(m_io, path);
        if (const auto* failure = std::get_if<Failure>(&image)) {
            code = fail(*failure);
            return std::nullopt;
        }
        return std::get<ImageTable>(std::move(image));
    }

    ExitCode identify(const std::string& path);
    ExitCode exportTable(const Arguments& a);
    ExitCode importTable(const std::string& image, const std::string& file, bool dryRun);
    ExitCode diff(const std::string& first, const std::string& second);
    ExitCode check(const std::string& path);

    std::ostream& m_out;
    std::ostream& m_err;
    rom::SysIo& m_io;
};

ExitCode Runner::identify(const std::string& path) {
    rom::Result<rom::OpenFile> file = rom::OpenFile::open(m_io, path, rom::SysIo::Mode::ReadOnly);
    if (!file.ok())
        return fail(imageFailure(file.error()));
    const rom::Identification found = rom::identifyImage(file.value(), rom::Editions::AnyRegion);
    if (const std::optional<Failure> failure = identificationFailure(found, path))
        return fail(*failure);
    const rom::GameEdition& edition = *found.edition;
    m_out << "code: " << edition.code << "\ntitle: " << edition.title
          << "\nlanguage: " << edition.language << "\n";
    const rom::Result<species::TablePlace> place = species::findTable(file.value(), edition);
    if (!place.ok())
        return fail(tableFailure(place.error(), edition));
    const std::int64_t base = place.value().base;
    m_out << "record base: " << hexNumber(base) << " (" << base << ")\n";
    if (place.value().archive.empty())
        m_out << "table: at the fixed base of " << edition.code
              << ", as the image has no file system\n";
    else
        m_out << "table: " << place.value().archive << " at " << hexNumber(base) << ", "
              << place.value().entries << " entries\n";
    return ExitCode::Success;
}

ExitCode Runner::exportTable(const Arguments& a) {
    const auto format = a.options.find("--format");
    const auto output = a.options.find("--output");
    std::string chosen = format != a.options.end() ? format->second : "";
    if (chosen.empty())
        chosen = output != a.options.end() && output->second.ends_with(".json") ? "json" : "csv";
    if (chosen != "csv" && chosen != "json") {
        usage("export", "--format is csv or json, not '" + chosen + "'");
        return ExitCode::Usage;
    }
    ExitCode code = ExitCode::Success;
    const std::optional<ImageTable> image = load(a.positional[0], code);
    if (!image)
        return code;
    const std::string text = chosen == "json" ? toJson(*image) : toCsv(*image);
    if (output == a.options.end()) {
        m_out << text;
        return ExitCode::Success;
    }
    if (rom::Status written =
            rom::replaceFile(m_io, output->second, rom::Bytes(text.begin(), text.end()));
        !written.ok())
        return fail({ExitCode::IoFailure, written.error().describe()});
    return ExitCode::Success;
}

ExitCode Runner::importTable(const std::string& imagePath, const std::string& file, bool dryRun) {
    ExitCode code = ExitCode::Success;
    const std::optional<ImageTable> image = load(imagePath, code);
    if (!image)
        return code;
    rom::Result<rom::Bytes> bytes = rom::readWholeFile(m_io, file, kMaxTableFile);
    if (!bytes.ok())
        return fail({bytes.error().kind == rom::IoError::Kind::InvalidInput ? ExitCode::InvalidData
                                                                            : ExitCode::IoFailure,
                     bytes.error().describe()});
    const std::string text(bytes.value().begin(), bytes.value().end());
    const InputTable input = file.ends_with(".json") ? readJsonTable(text) : readCsvTable(text);
    const ImportPlan plan = planImport(input, *image);
    if (!plan.problems.empty()) {
        for (const Problem& problem : plan.problems)
            m_err << file << (problem.line > 0 ? ":" + std::to_string(problem.line) : "") << ": "
                  << (problem.column.empty() ? "" : problem.column + ": ") << problem.message
                  << "\n";
        m_err << "statwright-cli: " << plan.problems.size()
              << (plan.problems.size() == 1 ? " problem" : " problems") << " in " << file
              << "; nothing was written\n";
        return ExitCode::InvalidData;
    }
    std::set<int> entries;
    for (const FieldChange& change : plan.changes) {
        m_out << describeChange(change) << "\n";
        entries.insert(change.position);
    }
    const std::string summary = std::to_string(plan.changes.size()) +
                                (plan.changes.size() == 1 ? " change in " : " changes in ") +
                                std::to_string(entries.size()) +
                                (entries.size() == 1 ? " entry" : " entries");
    if (dryRun) {
        m_out << summary << "; dry run, nothing written\n";
        return ExitCode::Success;
    }
    if (plan.changes.empty()) {
        m_out << "no changes; nothing written\n";
        return ExitCode::Success;
    }
    if (const std::optional<Failure> failure = applyImport(m_io, *image, plan.changes))
        return fail(*failure);
    m_out << summary << " written\n";
    return ExitCode::Success;
}

ExitCode Runner::diff(const std::string& first, const std::string& second) {
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
        m_out << "positions " << common << " to " << longer.entries.size() - 1 << " ("
              << speciesName(int(common)) << " to " << speciesName(int(longer.entries.size()) - 1)
              << ") are only in " << longer.path << "\n";
    }
    m_out << (fields == 0 ? "no differences"
                          : std::to_string(fields) +
                                (fields == 1 ? " field differs in " : " fields differ in ") +
                                std::to_string(entries.size()) +
                                (entries.size() == 1 ? " entry" : " entries"))
          << "\n";
    return ExitCode::Success;
}

ExitCode Runner::check(const std::string& path) {
    const rom::Identification found = rom::identifyImage(m_io, path, rom::Editions::AnyRegion);
    if (const std::optional<Failure> failure = identificationFailure(found, path))
        return fail(*failure);
    const std::variant<CheckReport, Failure> checked = checkImage(m_io, path, *found.edition);
    if (const auto* failure = std::get_if<Failure>(&checked))
        return fail(*failure);
    const CheckReport& report = std::get<CheckReport>(checked);
    m_out << report.text;
    if (report.verdict == CheckReport::Verdict::NotFound)
        return fail(report.problem);
    return ExitCode::Success;
}

} // namespace

int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
        rom::SysIo& io) {
    return Runner(out, err, io).run(arguments);
}

} // namespace cli
