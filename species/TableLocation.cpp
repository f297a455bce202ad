#include "TableLocation.h"

#include "FieldLayout.h"

#include "Identification.h"
#include "Narc.h"
#include "NdsFileSystem.h"
#include "Text.h"

namespace species {
namespace {

// "find the base-stat table of HeartGold (IPKE) in": the failure names the game, whose table
// it is, since the game itself is known.
std::string findAction(const nds::GameEdition& edition) {
    return "find the base-stat table of " + std::string(nds::gameName(edition.game)) + " (" +
           std::string(edition.code) + ") in";
}

base::Error notFound(base::Error error, const nds::GameEdition& edition) {
    if (error.kind == base::Error::Kind::BadContent)
        error.action = findAction(edition);
    return error;
}

// Members 1 to `entries` of the archive must be the records, back to back.
std::string recordsProblem(const std::vector<nds::FileSpan>& members, int entries) {
    const auto needed = static_cast<std::size_t>(entries) + 1;
    if (members.size() < needed)
        return "has " + std::to_string(members.size()) + " members, fewer than " +
               std::to_string(needed);
    for (std::size_t i = 1; i < needed; ++i) {
        if (members[i].size() != kRecordSize)
            return "has members of " + std::to_string(members[i].size()) + " bytes (member " +
                   std::to_string(i) + "), not of " + std::to_string(kRecordSize);
        if (i > 1 && members[i].start != members[i - 1].end)
            return "has members " + std::to_string(i - 1) + " and " + std::to_string(i) +
                   " apart, not back to back";
    }
    return {};
}

} // namespace

std::string_view tableArchive(nds::Game game) {
    switch (game) {
    case nds::Game::Diamond:
        return "/poketool/personal/personal.narc";
    case nds::Game::Pearl:
        return "/poketool/personal_pearl/personal.narc";
    case nds::Game::Platinum:
        return "/poketool/personal/pl_personal.narc";
    case nds::Game::HeartGold:
    case nds::Game::SoulSilver:
        break;
    }
    return "/a/0/0/2";
}

std::string_view evolutionArchive(nds::Game game) {
    const bool johto = game == nds::Game::HeartGold || game == nds::Game::SoulSilver;
    return johto ? "/a/0/3/4" : "/poketool/personal/evo.narc";
}

int tableEntries(nds::Game game) {
    const bool withForms = game != nds::Game::Diamond && game != nds::Game::Pearl;
    return withForms ? kAllEntries : kSpeciesCount;
}

base::Result<TablePlace> findTable(files::OpenFile& file, const nds::GameEdition& edition) {
    base::Result<std::optional<nds::NdsFileSystem>> system = nds::NdsFileSystem::read(file);
    if (!system.ok())
        return notFound(system.error(), edition);
    if (!system.value()) {
        if (edition.hasFixedBase()) {
            const std::int64_t end = edition.recordBase + std::int64_t{kRecordSize} * kSpeciesCount;
            if (end > file.size())
                return base::Error::badContent(
                    findAction(edition), file.path(),
                    "the image has no file system, and it ends at byte " +
                        std::to_string(file.size()) + ", before the end of the table at " +
                        std::string(edition.code) + "'s fixed place (" +
                        base::hexNumber(edition.recordBase) + " to " + base::hexNumber(end) + ")");
            return TablePlace{edition.recordBase, kSpeciesCount, {}, -1, 0};
        }
        return base::Error::badContent(findAction(edition), file.path(),
                                       "the image has no file system, and " +
                                           std::string(edition.code) +
                                           " images keep the table in no fixed place");
    }
    const std::string_view path = tableArchive(edition.game);
    base::Result<nds::FileEntry> archive = system.value()->find(path);
    if (!archive.ok())
        return notFound(archive.error(), edition);
    if (base::Status alone = system.value()->checkAlone(archive.value()); !alone.ok())
        return notFound(alone.error(), edition);
    base::Result<std::vector<nds::FileSpan>> members = nds::readNarcMembers(file, archive.value());
    if (!members.ok())
        return notFound(members.error(), edition);
    const int entries = tableEntries(edition.game);
    if (const std::string problem = recordsProblem(members.value(), entries); !problem.empty())
        return base::Error::badContent(findAction(edition), file.path(),
                                       std::string(path) + " " + problem);
    return TablePlace{members.value()[1].start, entries, std::string(path), archive.value().id,
                      members.value().size()};
}

} // namespace species

namespace species {

base::Result<TablePlace> findEvolutions(files::OpenFile& file, const nds::GameEdition& edition,
                                        int entries) {
    const std::string action = "find the evolution table of " +
                               std::string(nds::gameName(edition.game)) + " (" +
                               std::string(edition.code) + ") in";
    base::Result<std::optional<nds::NdsFileSystem>> system = nds::NdsFileSystem::read(file);
    if (!system.ok())
        return system.error();
    if (!system.value())
        return base::Error::badContent(action, file.path(),
                                       "the image has no file system, so no evolution table");
    const std::string_view path = evolutionArchive(edition.game);
    const auto fail = [&](base::Error error) {
        if (error.kind == base::Error::Kind::BadContent)
            error.action = action;
        return error;
    };
    base::Result<nds::FileEntry> archive = system.value()->find(path);
    if (!archive.ok())
        return fail(archive.error());
    if (base::Status alone = system.value()->checkAlone(archive.value()); !alone.ok())
        return fail(alone.error());
    base::Result<std::vector<nds::FileSpan>> members = nds::readNarcMembers(file, archive.value());
    if (!members.ok())
        return fail(members.error());
    if (const std::string problem = recordsProblem(members.value(), entries); !problem.empty())
        return base::Error::badContent(action, file.path(), std::string(path) + " " + problem);
    return TablePlace{members.value()[1].start, entries, std::string(path), archive.value().id,
                      members.value().size()};
}

base::Result<std::vector<files::ByteRange>> writableRanges(files::OpenFile& image) {
    const base::Result<const nds::GameEdition*> edition = nds::identifyImage(image);
    if (!edition.ok())
        return edition.error();
    const base::Result<TablePlace> place = findTable(image, *edition.value());
    if (!place.ok())
        return place.error();
    const auto range = [](const TablePlace& found) {
        return files::ByteRange{found.base, found.base + std::int64_t{kRecordSize} * found.entries};
    };
    std::vector<files::ByteRange> ranges{range(place.value())};
    const base::Result<TablePlace> evolutions =
        findEvolutions(image, *edition.value(), place.value().entries);
    if (evolutions.ok())
        ranges.push_back(range(evolutions.value()));
    return ranges;
}

} // namespace species
