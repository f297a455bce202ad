#include "NdsFileSystem.h"

#include "base/LittleEndian.h"
#include "base/Text.h"

#include <algorithm>
#include <deque>

namespace nds {
namespace {

constexpr std::int64_t kTablePointers = 0x40; // name table offset and size, then allocation's
constexpr std::int64_t kHeaderEnd = 0x50;
constexpr int kFirstDirectoryId = 0xF000; // file ids lie below it, directory ids from it on
constexpr int kMaxDirectories = 0x1000;
constexpr std::int64_t kMaxNameTable = 8 << 20; // far beyond any real game's
// Enough for every name of any real file system; a hostile table that makes the directories
// share one long listing would otherwise cost time in proportion to its square.
constexpr std::size_t kNamesToWalk = 1 << 22;
constexpr std::size_t kLongestPath = 1024;
constexpr char kAction[] = "read the file system of";

std::string directoryName(std::size_t index) {
    return "directory " + base::hexNumber(kFirstDirectoryId + static_cast<std::int64_t>(index));
}

} // namespace

base::Result<std::optional<NdsFileSystem>> NdsFileSystem::read(files::OpenFile& file) {
    using Found = std::optional<NdsFileSystem>;
    const std::int64_t imageSize = file.size();
    // A header too short to hold the table pointers holds no file system either.
    if (imageSize < kHeaderEnd)
        return Found();
    base::Result<files::Bytes> pointers = file.read(kTablePointers, kHeaderEnd - kTablePointers);
    if (!pointers.ok())
        return pointers.error();
    const files::Bytes& p = pointers.value();
    // Only a header that points nowhere at all has no file system (a bare header and table);
    // anything else is a file system, whole or damaged, and a damaged one is never used.
    if (std::all_of(p.begin(), p.end(), [](std::uint8_t byte) { return byte == 0; }))
        return Found();
    const FileSpan names{base::read32(p, 0), std::int64_t{base::read32(p, 0)} + base::read32(p, 4)};
    const FileSpan allocation{base::read32(p, 8),
                              std::int64_t{base::read32(p, 8)} + base::read32(p, 12)};
    const auto broken = [&](const std::string& why) {
        return base::Error::badContent(kAction, file.path(), "its file system is damaged: " + why);
    };
    for (const auto& [table, name] :
         {std::pair{names, "name"}, std::pair{allocation, "allocation"}}) {
        if (table.start == 0 || table.size() == 0)
            return broken(std::string("the header gives the file ") + name + " table " +
                          (table.start == 0 ? "no offset" : "a size of 0"));
        if (table.end > imageSize)
            return broken(std::string("the file ") + name + " table (bytes " +
                          base::hexNumber(table.start) + " to " + base::hexNumber(table.end) +
                          ") reaches past the image's end at " + base::hexNumber(imageSize));
    }

    if (names.size() > kMaxNameTable)
        return base::Error::badContent(kAction, file.path(),
                                       "its file name table is " + std::to_string(names.size()) +
                                           " bytes long, larger than any DS file system's");
    if (allocation.size() % 8 != 0 || allocation.size() / 8 > kFirstDirectoryId)
        return base::Error::badContent(kAction, file.path(),
                                       "its file allocation table is " +
                                           std::to_string(allocation.size()) +
                                           " bytes long, which is no whole number of files");
    base::Result<files::Bytes> nameBytes = file.read(names.start, names.size());
    if (!nameBytes.ok())
        return nameBytes.error();
    base::Result<files::Bytes> allocationBytes = file.read(allocation.start, allocation.size());
    if (!allocationBytes.ok())
        return allocationBytes.error();
    NdsFileSystem system(file.path(), imageSize, names, allocation, std::move(nameBytes).value(),
                         std::move(allocationBytes).value());
    // An empty entry (an unused id) holds no bytes, wherever it points; every other must lie
    // inside the image.
    for (int id = 0; id < system.fileCount(); ++id)
        if (system.allocationEntry(id).size() != 0)
            if (base::Result<FileSpan> span = system.allocation(id, "file " + std::to_string(id));
                !span.ok())
                return span.error();
    return Found(std::move(system));
}

base::Error NdsFileSystem::damaged(const std::string& why) const {
    return base::Error::badContent(kAction, m_image, "its file name table is damaged: " + why);
}

base::Result<std::vector<NdsFileSystem::Directory>> NdsFileSystem::directories() const {
    if (m_names.size() < 8)
        return damaged("it is too short to describe its root directory");
    const std::size_t count = base::read16(m_names, 6);
    if (count == 0 || count > kMaxDirectories || count * 8 > m_names.size())
        return damaged("it claims " + std::to_string(count) +
                       " directories, which it has no room for");
    std::vector<Directory> found(count);
    for (std::size_t d = 0; d < count; ++d)
        found[d] = {base::read32(m_names, d * 8), base::read16(m_names, d * 8 + 4)};
    return found;
}

base::Status NdsFileSystem::forEachName(const std::vector<Directory>& directories,
                                        std::size_t index,
                                        const std::function<bool(const Name&)>& visit) const {
    std::size_t at = directories[index].listing;
    int fileId = directories[index].firstFile;
    const auto runsPast = [&] {
        return damaged("the names of " + directoryName(index) + " run past the table's end");
    };
    while (true) {
        if (at >= m_names.size())
            return runsPast();
        const std::uint8_t type = m_names[at];
        if (type == 0)
            return {};
        const std::size_t length = type & 0x7Fu;
        const bool isDirectory = (type & 0x80u) != 0;
        if (length == 0)
            return damaged(directoryName(index) + " lists a name of no characters");
        const std::size_t entry = 1 + length + (isDirectory ? 2 : 0);
        if (entry > m_names.size() - at)
            return runsPast();
        Name name{{reinterpret_cast<const char*>(m_names.data() + at + 1), length}, -1, -1};
        if (isDirectory) {
            const int id = base::read16(m_names, at + 1 + length);
            if (id <= kFirstDirectoryId ||
                id >= kFirstDirectoryId + static_cast<int>(directories.size()))
                return damaged(directoryName(index) + " lists " + base::hexNumber(id) +
                               ", which is not one of its directories");
            name.directory = id - kFirstDirectoryId;
        } else {
            if (fileId >= kFirstDirectoryId)
                return damaged(directoryName(index) + " lists more files than there are ids");
            name.file = fileId++;
        }
        if (!visit(name))
            return {};
        at += entry;
    }
}

int NdsFileSystem::fileCount() const {
    return static_cast<int>(m_allocation.size() / 8);
}

FileSpan NdsFileSystem::allocationEntry(int id) const {
    const auto at = static_cast<std::size_t>(id) * 8;
    return {base::read32(m_allocation, at), base::read32(m_allocation, at + 4)};
}

base::Result<FileSpan> NdsFileSystem::allocation(int id, std::string_view path) const {
    const auto at = static_cast<std::size_t>(id) * 8;
    if (at + 8 > m_allocation.size())
        return base::Error::badContent(kAction, m_image,
                                       std::string(path) + " (file " + std::to_string(id) +
                                           ") has no entry in the file allocation table");
    const FileSpan span = allocationEntry(id);
    if (span.end < span.start || span.end > m_imageSize)
        return base::Error::badContent(
            kAction, m_image,
            "its file system is damaged: " + std::string(path) + " is said to lie at bytes " +
                base::hexNumber(span.start) + " to " + base::hexNumber(span.end) +
                ", which are not inside the image");
    return span;
}

base::Status NdsFileSystem::checkAlone(const FileEntry& entry) const {
    const auto shares = [&](const FileSpan& other) {
        return other.size() > 0 && other.start < entry.span.end && entry.span.start < other.end;
    };
    const auto sharing = [&](const std::string& other, const FileSpan& span) {
        return base::Error::badContent(
            kAction, m_image,
            "its file system is damaged: " + entry.path + " shares bytes " +
                base::hexNumber(std::max(span.start, entry.span.start)) + " to " +
                base::hexNumber(std::min(span.end, entry.span.end)) + " with " + other);
    };
    // Two names of one file make it two tables of the program's, or a table and another file.
    std::string otherName;
    walkPaths([&](int id, const std::string& path) {
        if (id == entry.id && path != entry.path && otherName.empty())
            otherName = path;
    });
    if (!otherName.empty())
        return base::Error::badContent(kAction, m_image,
                                       "its file system is damaged: " + entry.path + " is file " +
                                           std::to_string(entry.id) + ", which " +
                                           base::printable(otherName, 200) + " names too");
    if (shares(m_nameTable))
        return sharing("the file name table", m_nameTable);
    if (shares(m_allocationTable))
        return sharing("the file allocation table", m_allocationTable);
    for (int id = 0; id < fileCount(); ++id) {
        if (id == entry.id)
            continue;
        const FileSpan span = allocationEntry(id);
        if (!shares(span))
            continue;
        const std::map<int, std::string> named = paths();
        const auto path = named.find(id);
        return sharing(path == named.end() ? "file " + std::to_string(id)
                                           : path->second + " (file " + std::to_string(id) + ")",
                       span);
    }
    return {};
}

base::Result<FileEntry> NdsFileSystem::find(std::string_view path) const {
    base::Result<std::vector<Directory>> all = directories();
    if (!all.ok())
        return all.error();
    const base::Error missing = base::Error::badContent(
        kAction, m_image, std::string(path) + " is not in the image's file system");
    std::size_t directory = 0;
    std::string_view rest = path;
    while (!rest.empty() && rest.front() == '/')
        rest.remove_prefix(1);
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view component = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        std::optional<Name> match;
        const base::Status walked = forEachName(all.value(), directory, [&](const Name& name) {
            if (name.text != component)
                return true;
            match = name;
            return false;
        });
        if (!walked.ok())
            return walked.error();
        if (!match)
            return missing;
        if (!rest.empty()) {
            if (match->directory < 0)
                return missing;
            directory = static_cast<std::size_t>(match->directory);
            continue;
        }
        if (match->file < 0)
            return missing;
        base::Result<FileSpan> span = allocation(match->file, path);
        if (!span.ok())
            return span.error();
        return FileEntry{match->file, std::string(path), span.value()};
    }
    return missing;
}

void NdsFileSystem::walkPaths(const std::function<void(int, const std::string&)>& visit) const {
    base::Result<std::vector<Directory>> all = directories();
    if (!all.ok())
        return;
    std::vector<std::string> directoryPath(all.value().size());
    std::vector<bool> seen(all.value().size());
    std::deque<std::size_t> waiting{0};
    seen[0] = true;
    std::size_t budget = kNamesToWalk;
    while (!waiting.empty() && budget > 0) {
        const std::size_t directory = waiting.front();
        waiting.pop_front();
        const std::string& parent = directoryPath[directory];
        (void)forEachName(all.value(), directory, [&](const Name& name) {
            const std::size_t length = parent.size() + 1 + name.text.size();
            if (name.directory >= 0 && !seen[std::size_t(name.directory)] &&
                length <= kLongestPath) {
                seen[std::size_t(name.directory)] = true;
                directoryPath[std::size_t(name.directory)] = parent + "/" + std::string(name.text);
                waiting.push_back(std::size_t(name.directory));
            } else if (name.file >= 0 && length <= kLongestPath) {
                visit(name.file, parent + "/" + std::string(name.text));
            }
            return --budget > 0;
        });
    }
}

std::map<int, std::string> NdsFileSystem::paths() const {
    std::map<int, std::string> found;
    walkPaths([&](int id, const std::string& path) { found.emplace(id, path); });
    return found;
}

std::map<int, FileSpan> NdsFileSystem::fileSpans() const {
    std::map<int, FileSpan> spans;
    for (int id = 0; id < fileCount(); ++id)
        if (const FileSpan span = allocationEntry(id); span.size() > 0)
            spans.emplace(id, span);
    return spans;
}

std::vector<FileEntry> NdsFileSystem::filesHolding(std::int64_t offset) const {
    std::vector<FileEntry> holding;
    for (const auto& [id, path] : paths()) {
        const base::Result<FileSpan> span = allocation(id, path);
        if (span.ok() && span.value().start <= offset && offset < span.value().end)
            holding.push_back({id, path, span.value()});
    }
    return holding;
}

} // namespace nds
