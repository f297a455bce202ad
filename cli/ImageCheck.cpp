#include "ImageCheck.h"

#include "EditionIdentification.h"
#include "NdsFileSystem.h"
#include "Printable.h"
#include "TableLocation.h"

namespace cli {
namespace {

// Where the edition's fixed base lies in the image's file system, as a line for the user.
std::string fixedBaseLine(const rom::NdsFileSystem& system, const rom::GameEdition& edition,
                          const species::TablePlace* place) {
    if (!edition.hasFixedBase())
        return "fixed base: " + std::string(edition.code) + " has none\n";
    const std::string head = "fixed base " + rom::hexNumber(edition.recordBase) + " of " +
                             std::string(edition.code) + ": ";
    const std::vector<rom::FileEntry> holders = system.filesHolding(edition.recordBase);
    if (holders.empty())
        return head + "in no file of the image\n";
    const rom::FileEntry& holder = holders.front();
    const std::string named = rom::printable(holder.path, std::string::npos, true) + " (file " +
                              std::to_string(holder.id) + ")";
    if (!place || holder.path != place->archive)
        return head + "in " + named + ", which the game does not read\n";
    if (edition.recordBase == place->base)
        return head + "in " + named + ", where the table starts\n";
    return head + "in " + named + ", but not where the table starts\n";
}

} // namespace

std::variant<CheckReport, Failure> checkImage(rom::SysIo& io, const std::string& path) {
    rom::Result<rom::OpenFile> opened = rom::OpenFile::open(io, path, rom::SysIo::Mode::ReadOnly);
    if (!opened.ok())
        return imageFailure(opened.error());
    rom::OpenFile& file = opened.value();
    const rom::Identification found = rom::identifyImage(file, rom::Editions::AnyRegion);
    if (std::optional<Failure> failure = identificationFailure(found, path))
        return *failure;
    const rom::GameEdition& edition = *found.edition;
    rom::Result<species::TablePlace> place = species::findTable(file, edition);
    if (!place.ok() && place.error().kind != rom::IoError::Kind::BadContent)
        return imageFailure(place.error());

    CheckReport report;
    if (place.ok() && place.value().archive.empty()) {
        report.text = "unverifiable: the image has no file system; the table is read at " +
                      std::string(edition.code) + "'s fixed base " +
                      rom::hexNumber(edition.recordBase) + ", and the image may still be fine\n";
        return report;
    }
    if (place.ok()) {
        const species::TablePlace& found = place.value();
        report.verdict = CheckReport::Verdict::Confirmed;
        report.text = "table: " + found.archive + " (file " + std::to_string(found.archiveId) +
                      "), a NARC archive of " + std::to_string(found.members) + " members\n" +
                      "members 1 to " + std::to_string(found.entries) +
                      " are 44-byte records back to back, from " + rom::hexNumber(found.base) +
                      "\n";
    } else {
        report.verdict = CheckReport::Verdict::NotFound;
        report.problem = tableFailure(place.error(), edition);
    }
    rom::Result<std::optional<rom::NdsFileSystem>> system = rom::NdsFileSystem::read(file);
    if (system.ok() && system.value())
        report.text +=
            fixedBaseLine(*system.value(), edition, place.ok() ? &place.value() : nullptr);
    if (place.ok())
        report.text += "confirmed: " + std::string(edition.code) +
                       " reads its base-stat table from " + place.value().archive + "\n";
    return report;
}

} // namespace cli
