#include "Help.h"

#include <map>

namespace cli {
namespace {

const std::map<std::string_view, std::string_view> kHelp = {
    {"", R"(Usage: statwright-cli COMMAND [ARGUMENTS]

Reads and changes the base stats of all entries of a Pokémon Diamond, Pearl or Platinum
ROM image at once, with the same layout, rules and write path as Statwright. The table is
the one the game reads, found through the image's own file system.

Commands:
  identify IMAGE                     the game code, title, language and where the table is
  export IMAGE [-f csv|json] [-o FILE]
                                     every entry as a CSV or JSON table
  import IMAGE FILE [-f csv|json] [-n]
                                     writes the changes of an edited table into the image
  diff IMAGE_A IMAGE_B               the fields that differ, entry by entry
  check IMAGE                        validates the archive the game reads its table from
  sample OUT [--code CODE]           writes a small demo image with made-up values
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
listed value, the text its list shows ("type1_text": "Grass"). Without --output, or
with --output -, the table goes to standard output. An existing FILE is replaced whole
(through a symbolic link, the file it names), never the image itself; a FIFO or a
device such as /dev/stdout is written into instead.
)"},
    {"import", R"(Usage: statwright-cli import IMAGE FILE [-f|--format csv|json] [-n|--dry-run]

Reads an edited table (CSV, or JSON when FILE ends in .json or --format json says so;
FILE - is standard input), checks every row before
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
    {"sample", R"(Usage: statwright-cli sample OUT [-c|--code CODE]

Writes a small image to OUT for trying Statwright out: a header with CODE (ADAE, the
default, or any other of the fifteen codes the window opens), and a real file system
whose archive, where that game reads it, holds made-up values computed from each entry's
position, not data taken from a game. Never replaces an existing file.
)"},
};

} // namespace

std::optional<std::string_view> helpText(std::string_view command) {
    const auto found = kHelp.find(command);
    if (found == kHelp.end())
        return std::nullopt;
    return found->second;
}

} // namespace cli
