#pragma once

#include "base/Error.h"
#include "files/OpenFile.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nds {

// Bytes [start, end) of an image.
struct FileSpan {
    std::int64_t start = 0;
    std::int64_t end = 0;

    [[nodiscard]] std::int64_t size() const { return end - start; }
};

// One file of an image's file system.
struct FileEntry {
    int id = 0;
    std::string path; // "/poketool/personal/personal.narc"
    FileSpan span;    // always inside the image
};

// The file system of a DS image: the name table gives every path a file id, the allocation
// table gives every id its bytes. Both are read whole, once, from where the header points;
// every lookup checks what it uses, so damaged or hostile tables give an error in words
// (a BadContent error), never a crash, a loop or a huge allocation.
class NdsFileSystem {
public:
    // The file system of the image open in `file`, or nothing when the image has none: its
    // header is too short to point to one, or its four table pointers (offset and size of the
    // name table and of the allocation table) are all zero. Any other header that does not
    // point to whole tables inside the image, tables too large to be real, and allocation
    // entries outside the image are a damaged file system: a BadContent error says why.
    [[nodiscard]] static base::Result<std::optional<NdsFileSystem>> read(files::OpenFile& file);

    // The file at `path`, which starts with "/"; an error says why there is none.
    [[nodiscard]] base::Result<FileEntry> find(std::string_view path) const;

    // Whether `entry` keeps its bytes to itself: an error names another name of its file, or
    // another file of the allocation table (empty ones aside) or a table of the file system
    // that shares a byte with it, as only a damaged file system has them.
    [[nodiscard]] base::Status checkAlone(const FileEntry& entry) const;

    // The named files whose bytes hold `offset`, by id.
    [[nodiscard]] std::vector<FileEntry> filesHolding(std::int64_t offset) const;

    // Every named file's path by id. Directories that cannot be reached or read are left out.
    [[nodiscard]] std::map<int, std::string> paths() const;

    // Where the tables lie in the image, and the byte of the image where the allocation entry
    // of file `id` (which must have one) starts: its start, then its end, 32 bits each.
    [[nodiscard]] FileSpan nameTable() const { return m_nameTable; }
    [[nodiscard]] FileSpan allocationTable() const { return m_allocationTable; }
    [[nodiscard]] std::int64_t allocationEntryOffset(int id) const {
        return m_allocationTable.start + std::int64_t{8} * id;
    }
    // The bytes of every file that has any, by id.
    [[nodiscard]] std::map<int, FileSpan> fileSpans() const;

private:
    struct Directory {
        std::uint32_t listing = 0; // offset of its list of names within the name table
        int firstFile = 0;         // id of the first file it lists
    };
    struct Name {
        std::string_view text; // inside the name table
        int directory = -1;    // the directory's index when the name is one, else -1
        int file = -1;         // the file's id when the name is one, else -1
    };

    NdsFileSystem(std::string image, std::int64_t imageSize, FileSpan nameTable,
                  FileSpan allocationTable, files::Bytes names, files::Bytes allocation)
        : m_image(std::move(image)), m_imageSize(imageSize), m_nameTable(nameTable),
          m_allocationTable(allocationTable), m_names(std::move(names)),
          m_allocation(std::move(allocation)) {}

    [[nodiscard]] int fileCount() const;
    // The allocation entry of `id` < fileCount(), unchecked.
    [[nodiscard]] FileSpan allocationEntry(int id) const;

    [[nodiscard]] base::Result<std::vector<Directory>> directories() const;
    // Calls `visit` for each name that directory `index` lists, until it returns false.
    [[nodiscard]] base::Status forEachName(const std::vector<Directory>& directories,
                                           std::size_t index,
                                           const std::function<bool(const Name&)>& visit) const;
    [[nodiscard]] base::Result<FileSpan> allocation(int id, std::string_view path) const;
    // Calls `visit` with the id and path of every name of a file, directories breadth first;
    // directories that cannot be reached or read are left out.
    void walkPaths(const std::function<void(int, const std::string&)>& visit) const;
    [[nodiscard]] base::Error damaged(const std::string& why) const;

    std::string m_image; // the image's path, for messages
    std::int64_t m_imageSize = 0;
    FileSpan m_nameTable;
    FileSpan m_allocationTable;
    files::Bytes m_names;
    files::Bytes m_allocation;
};

} // namespace nds
