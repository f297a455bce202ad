#include "TableLocation.h"

#include "nds/Narc.h"

namespace species {
namespace {

// Members 1 to `entries` of the archive must be records of `size` bytes, back to back.
std::string recordsProblem(const std::vector<nds::FileSpan>& members, int entries, int size) {
    const auto needed = static_cast<std::size_t>(entries) + 1;
    if (members.size() < needed)
        return "has " + std::to_string(members.size()) + " members, fewer than " +
               std::to_string(needed);
    for (std::size_t i = 1; i < needed; ++i) {
        if (members[i].size() != size)
            return "has members of " + std::to_string(members[i].size()) + " bytes (member " +
                   std::to_string(i) + "), not of " + std::to_string(size);
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

std::string findAction(std::string_view noun, const nds::GameEdition& edition) {
    return "find the " + std::string(noun) + " of " + std::string(nds::gameName(edition.game)) +
           " (" + std::string(edition.code) + ") in";
}

base::Error noFileSystem(const files::OpenFile& file, const std::string& action,
                         std::string_view noun) {
    return base::Error::badContent(action, file.path(),
                                   "the image has no file system, so no " + std::string(noun));
}

base::Result<std::optional<nds::NdsFileSystem>> readFileSystem(files::OpenFile& file,
                                                               const std::string& action) {
    base::Result<std::optional<nds::NdsFileSystem>> system = nds::NdsFileSystem::read(file);
    if (!system.ok() && system.error().kind == base::Error::Kind::BadContent)
        system.error().action = action;
    return system;
}

base::Error whileFinding(base::Error error, const std::string& action) {
    if (error.kind == base::Error::Kind::BadContent)
        error.action = action;
    return error;
}

base::Result<TablePlace> findRecordArchive(files::OpenFile& file, const nds::NdsFileSystem& system,
                                           std::string_view path, int entries, int size,
                                           const std::string& action) {
    const auto fail = [&](base::Error error) { return whileFinding(std::move(error), action); };
    base::Result<nds::FileEntry> archive = system.find(path);
    if (!archive.ok())
        return fail(archive.error());
    if (base::Status alone = system.checkAlone(archive.value()); !alone.ok())
        return fail(alone.error());
    base::Result<std::vector<nds::FileSpan>> members = nds::readNarcMembers(file, archive.value());
    if (!members.ok())
        return fail(members.error());
    if (const std::string problem = recordsProblem(members.value(), entries, size);
        !problem.empty())
        return base::Error::badContent(action, file.path(), std::string(path) + " " + problem);
    return TablePlace{members.value()[1].start,
                      entries,
                      std::string(path),
                      archive.value().id,
                      members.value().size(),
                      archive.value().span,
                      {}};
}

} // namespace species
