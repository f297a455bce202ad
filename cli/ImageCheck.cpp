#include "ImageCheck.h"

#include "NdsFileSystem.h"
#include "TableLocation.h"
#include "Text.h"

namespace cli {
namespace {

// Where the edition's fixed base lies in the image's file system, as a line for the user.
std::string fixedBaseLine(const nds::NdsFileSystem& system, const nds::GameEdition& edition,
                          const species::TablePlace* place) {
    if (!edition.hasFixedBase())
        return "fixed base: " + std::string(edition.code) + " has none\n";
    const std::string head = "fixed base " + base::hexNumber(edition.recordBase) + " of " +
                             std::string(edition.code) + ": ";
    const std::vector<nds::FileEntry> holders = system.filesHolding(edition.recordBase);
    if (holders.empty())
        return head + "in no file of the image\n";
    const nds::FileEntry& holder = holders.front();
    const std::string named = base::printable(holder.path, std::string::npos, true) + " (file " +
                              std::to_string(holder.id) + ")";
    if (!place || holder.path != place->archive)
        return head + "in " + named + ", which the game does not read\n";
    if (edition.recordBase == place->base)
        return head + "in " + named + ", where the table starts\n";
    return head + "in " + named + ", but not where the table starts\n";
}

} // namespace

base::Result<CheckReport> checkImage(const Context& context, const std::string& path) {
    base::Result<OpenImage> opened = openImage(context, path, files::Access::Read);
    if (!opened.ok())
        return opened.error();
    files::OpenFile& file = opened.value().file;
    const nds::GameEdition& edition = *opened.value().edition;
    base::Result<species::TablePlace> place = species::findTable(file, edition);
    if (!place.ok() && place.error().kind != base::Error::Kind::BadContent)
        return place.error();

    CheckReport report;
    for (const files::Recovery& recovery : opened.value().notes.recoveries)
        report.text += "journal: " + recovery.describe() + "\n";
    if (place.ok() && place.value().archive.empty()) {
        report.text += "unverifiable: the image has no file system; the table is read at " +
                       std::string(edition.code) + "'s fixed base " +
                       base::hexNumber(edition.recordBase) + ", and the image may still be fine\n";
        return report;
    }
    if (place.ok()) {
        const species::TablePlace& found = place.value();
        report.verdict = CheckReport::Verdict::Confirmed;
        report.text += "table: " + found.archive + " (file " + std::to_string(found.archiveId) +
                       "), a NARC archive of " + std::to_string(found.members) + " members\n" +
                       "members 1 to " + std::to_string(found.entries) +
                       " are 44-byte records back to back, from " + base::hexNumber(found.base) +
                       "\n";
    } else {
        report.verdict = CheckReport::Verdict::NotFound;
        report.problem = place.error();
    }
    base::Result<std::optional<nds::NdsFileSystem>> system = nds::NdsFileSystem::read(file);
    if (system.ok() && system.value())
        report.text +=
            fixedBaseLine(*system.value(), edition, place.ok() ? &place.value() : nullptr);
    if (place.ok())
        report.text += "confirmed: " + std::string(edition.code) +
                       " reads its base-stat table from " + place.value().archive + "\n";
    return report;
}

} // namespace cli
