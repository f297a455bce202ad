#include "ImageCheck.h"

#include "species/EggMoveKind.h"
#include "species/EggMoveRules.h"
#include "species/EvolutionRules.h"
#include "species/ImageDocument.h"
#include "species/LearnsetKind.h"
#include "species/LearnsetRules.h"
#include "species/Vocabulary.h"

#include "base/Text.h"
#include "nds/NdsFileSystem.h"
#include "species/TableLocation.h"

namespace cli {
namespace {

// Where the edition's fixed place lies in the image's file system, as a line for the user that
// says calmly that an image read through its file system does not use it.
std::string fixedPlaceLine(const species::ImageReport& image) {
    const nds::GameEdition& edition = *image.edition;
    const std::string code(edition.code);
    const species::KindTable& stats = image.table(species::Kind::BaseStats);
    const species::TablePlace* place = stats.place ? &*stats.place : nullptr;
    const std::string found =
        place ? "table found through the file system at " + base::hexNumber(place->base) + "; "
              : "";
    if (!edition.hasFixedBase())
        return found + code + " has no fixed place\n";
    const std::string fixed =
        "the fixed place of " + code + " (" + base::hexNumber(edition.recordBase) + ")";
    const std::string unused = place ? ", and is not used\n" : "\n";
    const std::vector<nds::FileEntry>& holders = *image.fixedBaseHolders;
    if (holders.empty())
        return found + fixed + (place ? " is not used\n" : " lies in no file of the image\n");
    const nds::FileEntry& holder = holders.front();
    const std::string named = base::printable(holder.path, std::string::npos, true) + " (file " +
                              std::to_string(holder.id) + ")";
    if (!place || holder.path != place->archive)
        return found + fixed + " lies in " + named + ", which the game does not read" + unused;
    if (edition.recordBase == place->base)
        return found + "it is also " + fixed + ", in " + named + "\n";
    return found + fixed + " lies in " + named + ", but not where the table starts" + unused;
}

// The evolution table: where it is, and the slots the game would never act on, by entry and
// slot; they are told, not failed.
std::string evolutionLines(const species::ImageReport& image) {
    const species::KindTable& evolutions = image.table(species::Kind::Evolutions);
    if (!evolutions.place)
        return "evolutions: " + evolutions.missing->describe() + "\n";
    const nds::Game game = image.edition->game;
    std::string lines = "evolutions: " + evolutions.place->archive + ", " +
                        std::to_string(evolutions.records.size()) + " entries\n";
    for (std::size_t position = 0; position < evolutions.records.size(); ++position)
        for (const std::string& slot : species::unusableSlots(evolutions.records[position], game))
            lines += "never acted on: " + vocabulary::entryName(int(position)) + ", " + slot + "\n";
    return lines;
}

// The learnset table: where it is, whether it was written anew, and the lists the game would
// read otherwise than they look (told, not failed: one retail list is out of level order).
std::string learnsetLines(const species::ImageReport& image) {
    const species::KindTable& learnsets = image.table(species::Kind::Learnsets);
    if (!learnsets.place)
        return "learnsets: " + learnsets.missing->describe() + "\n";
    std::string lines = "learnsets: " + learnsets.place->archive + ", " +
                        std::to_string(learnsets.records.size()) + " entries\n";
    if (species::hasRoomForEveryList(*learnsets.place))
        lines += "learnsets: every list has room for 20 moves: the archive was written anew, as "
                 "Statwright does when a list grows, and may have moved\n";
    for (std::size_t position = 0; position < learnsets.records.size(); ++position)
        for (const std::string& problem : species::learnsetProblems(
                 learnsets.records[position].value(species::Field::Learnset).items()))
            lines += "learnset of " + vocabulary::entryName(int(position)) + ": " + problem + "\n";
    return lines;
}

// The list of egg moves: where it is, how many of the words the game scans are free, and the
// species that have more egg moves than the game reads.
std::string eggMoveLines(const species::ImageReport& image) {
    const species::KindTable& eggMoves = image.table(species::Kind::EggMoves);
    if (!eggMoves.place)
        return "egg moves: " + eggMoves.missing->describe() + "\n";
    std::string lines =
        "egg moves: " + eggMoves.place->archive + " at " + base::hexNumber(eggMoves.place->base) +
        ", " + std::to_string(species::eggListFreeWords(*eggMoves.place, eggMoves.records)) +
        " words free of " + std::to_string(eggMoves.place->room / 2) + "\n";
    for (std::size_t position = 0; position < eggMoves.records.size(); ++position) {
        const std::size_t count =
            eggMoves.records[position].value(species::Field::EggMoves).items().size();
        if (species::editsEggMoves(int(position)) && count > std::size_t(species::kMaxEggMoves))
            lines += "egg moves of " + vocabulary::entryName(int(position)) + ": " +
                     std::to_string(count) + ", of which the game reads 16\n";
    }
    return lines;
}

} // namespace

base::Result<CheckReport> checkImage(const Context& context, const std::string& path) {
    species::ImageDocument document(context.io, path);
    const base::Result<species::ImageReport> examined = document.open();
    const files::OpenNotes notes = document.takeNotes();
    context.notices.tell(context.err, path, notes);
    if (!examined.ok())
        return examined.error();
    const species::ImageReport& image = examined.value();
    const nds::GameEdition& edition = *image.edition;
    const species::KindTable& stats = image.table(species::Kind::BaseStats);

    CheckReport report;
    for (const files::Recovery& recovery : notes.recoveries)
        report.text += "journal: " + recovery.describe() + "\n";
    if (stats.place && stats.place->archive.empty()) {
        report.text += "unverifiable: the image has no file system; the table is read at " +
                       std::string(edition.code) + "'s fixed base " +
                       base::hexNumber(edition.recordBase) + ", and the image may still be fine\n";
        return report;
    }
    if (stats.place) {
        const species::TablePlace& found = *stats.place;
        report.verdict = CheckReport::Verdict::Confirmed;
        report.text += "table: " + found.archive + " (file " + std::to_string(found.archiveId) +
                       "), a NARC archive of " + std::to_string(found.members) + " members\n" +
                       "members 1 to " + std::to_string(found.entries) +
                       " are 44-byte records back to back, from " + base::hexNumber(found.base) +
                       "\n";
    } else {
        report.verdict = CheckReport::Verdict::NotFound;
        report.problem = *stats.missing;
    }
    if (image.fixedBaseHolders)
        report.text += fixedPlaceLine(image);
    if (!stats.place)
        return report;
    report.text += "confirmed: " + std::string(edition.code) + " reads its base-stat table from " +
                   stats.place->archive + "\n";
    report.text += evolutionLines(image);
    report.text += learnsetLines(image);
    report.text += eggMoveLines(image);
    // A table the image has, yet cannot be used, fails the check.
    for (const species::KindTable& table : image.tables)
        if (table.refused && report.verdict != CheckReport::Verdict::NotFound) {
            report.verdict = CheckReport::Verdict::NotFound;
            report.problem = *table.missing;
        }
    return report;
}

} // namespace cli
