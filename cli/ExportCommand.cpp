#include "Commands.h"
#include "ImageAccess.h"
#include "Output.h"
#include "TableFormat.h"

#include "files/FileAccess.h"
#include "tables/Columns.h"
#include "tables/TableWriter.h"

#include <CLI/CLI.hpp>

namespace cli {
namespace {

class ExportCommand final : public Command {
public:
    std::string_view name() const override { return "export"; }
    std::string_view summary() const override { return "every entry as a CSV or JSON table"; }
    std::string explanation() const override {
        return R"(Writes every entry, one row each: the 500 of the species list, and in the archives of
Platinum, HeartGold and SoulSilver seven more forms (positions 500 to 506). CSV (the
default, or when FILE ends in .json, JSON) has the columns
)" + wrappedColumns() +
               R"(
with every value as stored, in decimal: colour is bits 0 to 6 of its byte and flip bit 7
(the game does not mirror the sprite), the EV yields are 0 to 3, and tm_hm names the TMs
and HMs the species can learn ("TM01 TM06 HM04"). JSON holds the same values and, next to
each listed value, the text its list shows in that game ("type1_text": "Grass"); tm_hm is
an array of the names, and tm_hm_text of the moves they teach. Without --output, or
with --output -, the table goes to standard output. An existing FILE is replaced whole
(through a symbolic link, the file it names), never the image itself; a FIFO or a
device such as /dev/stdout is written into instead. With --names, the columns of lists
(types, abilities, items, gender, growth, egg groups, colour) hold the names the window
shows instead of numbers; import reads either.
With --evolutions it writes the evolution table instead: position, species, then
evo1_method, evo1_param, evo1_target to evo7_method, evo7_param, evo7_target as numbers,
and evolutions_text, the used slots in words ("Level 16 -> Ivysaur"). import reads it back;
an empty evolutions_text is not checked. Positions 493 and above (the Egg entries and the
forms) have no evolutions of their own: their rows are zeros, and import refuses changes
there.
With --learnsets it writes the level-up moves instead: the columns position, species,
level, move, a row a move in the order the list has them (moves by number, or with --names
by name), and for an entry without moves one row with empty level and move. JSON holds
each entry's list as "moves": ["1 Tackle", "4 Growl"]. import reads it back: an entry's
rows give its whole list.
With --egg-moves it writes the egg moves instead: the columns position, species, move, a
row a move (by number, or with --names by name), and for an entry without egg moves one row
with an empty move. A form's rows show its species' egg moves, which are edited there; the
Egg entries have none. JSON holds each entry's moves as "egg_moves": ["Bite"]. import reads
it back: an entry's rows give all its egg moves, in that order, and a table that needs more
words than the game's list has is refused whole.
)";
    }
    void declare(CLI::App& command) override {
        command.add_option("IMAGE", m_image)->required();
        command.add_option("-f,--format", m_format)->type_name("csv|json");
        command.add_option("-o,--output", m_output)->type_name("FILE");
        command.add_flag("--names", m_names)->disable_flag_override();
        CLI::Option* evolutions =
            command.add_flag("--evolutions", m_evolutions)->disable_flag_override();
        CLI::Option* learnsets = command.add_flag("--learnsets", m_learnsets)
                                     ->disable_flag_override()
                                     ->excludes(evolutions);
        command.add_flag("--egg-moves", m_eggMoves)
            ->disable_flag_override()
            ->excludes(evolutions)
            ->excludes(learnsets);
    }

    base::Status run(const Context& context) override {
        const base::Result<std::string> format = tableFormat(m_format, m_output);
        if (!format.ok())
            return format.error();
        if (base::Status apart = outputApartFrom(context, m_output, {m_image}); !apart.ok())
            return apart;
        species::ImageDocument document(context.io, m_image);
        const base::Result<species::ImageReport> opened = openImage(context, document);
        if (!opened.ok())
            return opened.error();
        const nds::GameEdition& edition = *document.edition();
        if (m_evolutions)
            return exportEvolutions(context, document.table(species::Kind::Evolutions), edition,
                                    format.value());
        const tables::ListValues values =
            m_names ? tables::ListValues::Names : tables::ListValues::Numbers;
        if (m_learnsets || m_eggMoves)
            return exportMoves(
                context,
                document.table(m_learnsets ? species::Kind::Learnsets : species::Kind::EggMoves),
                edition, format.value(), values);
        const std::vector<species::Record>& entries =
            document.table(species::Kind::BaseStats).records;
        const std::string text = format.value() == "json"
                                     ? tables::toJson(edition, entries, values)
                                     : tables::toCsv(entries, edition.game, values);
        return writeOutput(context, m_output, text);
    }

private:
    // The table's columns, indented and wrapped as the rest of the help is.
    static std::string wrappedColumns() {
        constexpr std::size_t kWidth = 88;
        const std::span<const std::string> names = tables::columns();
        std::string text;
        std::string line = "  ";
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::string piece = names[i] + (i + 1 < names.size() ? "," : "");
            if (line.size() + piece.size() > kWidth) {
                text += line + "\n";
                line = "  ";
            }
            line += piece;
        }
        return text + line;
    }

    std::string m_image;
    std::string m_format; // "csv", "json", or empty: from the output's name
    std::string m_output; // empty: standard output
    bool m_names = false;
    bool m_evolutions = false;
    bool m_learnsets = false;
    bool m_eggMoves = false;

    // The evolution table: a row a list position, the 21 fields of its slots as numbers, and
    // the used slots in words.
    base::Status exportEvolutions(const Context& context, const species::KindTable& table,
                                  const nds::GameEdition& edition,
                                  const std::string& format) const {
        if (!table.place)
            return *table.missing;
        const std::string text = format == "json"
                                     ? tables::evolutionsToJson(edition, table.records)
                                     : tables::evolutionsToCsv(table.records, edition.game);
        return writeOutput(context, m_output, text);
    }

    // The learnsets or the egg moves: a row a move, or one without for an entry that has none.
    base::Status exportMoves(const Context& context, const species::KindTable& table,
                             const nds::GameEdition& edition, const std::string& format,
                             tables::ListValues values) const {
        if (!table.place)
            return *table.missing;
        const bool json = format == "json";
        const std::vector<species::Record>& records = table.records;
        const std::string text = m_learnsets
                                     ? (json ? tables::learnsetsToJson(edition, records, values)
                                             : tables::learnsetsToCsv(records, values))
                                     : (json ? tables::eggMovesToJson(edition, records, values)
                                             : tables::eggMovesToCsv(records, values));
        return writeOutput(context, m_output, text);
    }
};

} // namespace

std::unique_ptr<Command> makeExportCommand() {
    return std::make_unique<ExportCommand>();
}

} // namespace cli
