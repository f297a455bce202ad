// The system calls on Windows. Descriptors are small numbers standing for handles (0, 1 and 2
// for the standard ones), and Win32 errors become the error numbers the rest of the program
// knows. What Windows lacks is left out where that is safe: a folder is not flushed (a rename
// is written through instead), and owners and permission bits are the nearest Windows has.
#include "SysIo.h"

#include <windows.h>

#include <aclapi.h>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <random>
#include <vector>

namespace files {

namespace {

// The error number that stands for the Win32 error `code`, negated.
int fromWin32(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return -ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
        return -EACCES;
    case ERROR_SHARING_VIOLATION:
        return -EBUSY;
    case ERROR_LOCK_VIOLATION:
        return -EWOULDBLOCK;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return -EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return -ENOSPC;
    case ERROR_WRITE_PROTECT:
        return -EROFS;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return -ENOMEM;
    case ERROR_FILENAME_EXCED_RANGE:
        return -ENAMETOOLONG;
    case ERROR_DIRECTORY:
        return -ENOTDIR;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
    case ERROR_NOT_A_REPARSE_POINT:
        return -EINVAL;
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION:
        return -ENOSYS;
    case ERROR_INVALID_HANDLE:
        return -EBADF;
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
        return -EPIPE;
    default:
        return -EIO;
    }
}

int lastError() {
    return fromWin32(::GetLastError());
}

std::wstring wide(const std::string& text) {
    if (text.empty())
        return {};
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                          size);
    return result;
}

std::string narrow(const std::wstring& text) {
    if (text.empty())
        return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                          size, nullptr, nullptr);
    return result;
}

// The user id this program gives the user it runs as, and one any other owner gets.
constexpr unsigned kThisUser = 1000;
constexpr unsigned kOtherUser = 1001;
// The lock lies on one byte far past the end of any image, so that it never stands in the way
// of a read or write of the file's own bytes, which a Windows lock would.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;
constexpr DWORD kLockOffsetLow = 0xFFFFFFF0;

// Temporary files to remove if Ctrl+C or a closed console ends the process first.
std::mutex g_pendingMutex;
std::vector<std::wstring> g_pending;

BOOL WINAPI removePending(DWORD) {
    std::lock_guard lock(g_pendingMutex);
    for (const std::wstring& path : g_pending)
        ::DeleteFileW(path.c_str());
    return FALSE; // and the process ends as it would have
}

void markPending(const std::wstring& path) {
    std::lock_guard lock(g_pendingMutex);
    static const bool handling = ::SetConsoleCtrlHandler(removePending, TRUE) != 0;
    (void)handling;
    g_pending.push_back(path);
}

void clearPending(const std::wstring& path) {
    std::lock_guard lock(g_pendingMutex);
    std::erase(g_pending, path);
}

class WindowsSysIo final : public SysIo {
public:
    int open(const std::string& path, Mode mode) override {
        DWORD access = GENERIC_READ;
        DWORD disposition = OPEN_EXISTING;
        if (mode == Mode::ReadWrite)
            access = GENERIC_READ | GENERIC_WRITE;
        else if (mode == Mode::WriteOnly)
            access = GENERIC_WRITE;
        else if (mode == Mode::CreateNew) {
            access = GENERIC_WRITE;
            disposition = CREATE_NEW;
        }
        return adopt(::CreateFileW(wide(path).c_str(), access, kShareAll, nullptr, disposition,
                                   FILE_ATTRIBUTE_NORMAL, nullptr),
                     path);
    }

    int createUnique(std::string& path) override {
        static std::mt19937 random{std::random_device{}()};
        static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
        const std::size_t at = path.rfind("XXXXXX");
        if (at == std::string::npos)
            return -EINVAL;
        for (int tries = 0; tries < 100; ++tries) {
            std::string name = path;
            for (std::size_t i = at; i < at + 6; ++i)
                name[i] = kLetters[random() % (sizeof kLetters - 1)];
            const int fd = open(name, Mode::CreateNew);
            if (fd == -EEXIST)
                continue;
            if (fd >= 0) {
                path = name;
                markPending(wide(path));
            }
            return fd;
        }
        return -EEXIST;
    }

    std::int64_t pread(int fd, std::uint8_t* buffer, std::size_t count,
                       std::int64_t offset) override {
        return transfer(fd, buffer, count, &offset, false);
    }
    std::int64_t pwrite(int fd, const std::uint8_t* buffer, std::size_t count,
                        std::int64_t offset) override {
        return transfer(fd, const_cast<std::uint8_t*>(buffer), count, &offset, true);
    }
    std::int64_t read(int fd, std::uint8_t* buffer, std::size_t count) override {
        return transfer(fd, buffer, count, nullptr, false);
    }
    std::int64_t write(int fd, const std::uint8_t* buffer, std::size_t count) override {
        return transfer(fd, const_cast<std::uint8_t*>(buffer), count, nullptr, true);
    }

    int status(int fd, FileStatus& status) override {
        const HANDLE handle = handleOf(fd);
        if (handle == INVALID_HANDLE_VALUE)
            return -EBADF;
        return describe(handle, status);
    }

    int status(const std::string& path, FileStatus& status) override {
        return statusAt(path, 0, status);
    }

    int linkStatus(const std::string& path, FileStatus& status) override {
        return statusAt(path, FILE_FLAG_OPEN_REPARSE_POINT, status);
    }

    // A symbolic link's target, as the system resolves it: the whole path of the file it names.
    int readLink(const std::string& path, std::string& target) override {
        FileStatus link;
        if (const int result = linkStatus(path, link); result < 0)
            return result;
        if (!link.isA(mode::kLink))
            return -EINVAL;
        const HANDLE handle = ::CreateFileW(wide(path).c_str(), 0, kShareAll, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return lastError();
        std::wstring name(32768, L'\0');
        const DWORD length = ::GetFinalPathNameByHandleW(
            handle, name.data(), static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
        const int error = length == 0 ? lastError() : 0;
        ::CloseHandle(handle);
        if (error < 0)
            return error;
        if (length >= name.size())
            return -ENAMETOOLONG;
        name.resize(length);
        // "\\?\C:\x" is "C:\x", and "\\?\UNC\server\share" "\\server\share".
        if (name.starts_with(L"\\\\?\\UNC\\"))
            name = L"\\\\" + name.substr(8);
        else if (name.starts_with(L"\\\\?\\"))
            name = name.substr(4);
        target = narrow(name);
        return 0;
    }

    int fsync(int fd) override {
        const HANDLE handle = handleOf(fd);
        if (handle == INVALID_HANDLE_VALUE)
            return -EBADF;
        return ::FlushFileBuffers(handle) ? 0 : lastError();
    }

    int setLength(int fd, std::int64_t length) override {
        const HANDLE handle = handleOf(fd);
        if (handle == INVALID_HANDLE_VALUE)
            return -EBADF;
        FILE_END_OF_FILE_INFO end{};
        end.EndOfFile.QuadPart = length;
        return ::SetFileInformationByHandle(handle, FileEndOfFileInfo, &end, sizeof end)
                   ? 0
                   : lastError();
    }

    // Windows cannot flush a folder; the renames that need it are written through instead.
    int syncFolder(const std::string&) override { return 0; }

    int close(int fd) override {
        std::lock_guard lock(m_mutex);
        if (fd < kFirstOwn || static_cast<std::size_t>(fd) >= m_handles.size() ||
            m_handles[static_cast<std::size_t>(fd)] == INVALID_HANDLE_VALUE)
            return fd >= 0 && fd < kFirstOwn ? 0 : -EBADF;
        const HANDLE handle = m_handles[static_cast<std::size_t>(fd)];
        m_handles[static_cast<std::size_t>(fd)] = INVALID_HANDLE_VALUE;
        return ::CloseHandle(handle) ? 0 : lastError();
    }

    // Only the owner's write bit has a Windows meaning: the read-only attribute.
    int chmod(const std::string& path, unsigned mode) override {
        const std::wstring name = wide(path);
        const DWORD attributes = ::GetFileAttributesW(name.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return lastError();
        const DWORD wanted = mode & mode::kOwnerWrite ? attributes & ~FILE_ATTRIBUTE_READONLY
                                                      : attributes | FILE_ATTRIBUTE_READONLY;
        if (wanted == attributes)
            return 0;
        return ::SetFileAttributesW(name.c_str(), wanted) ? 0 : lastError();
    }

    int checkWritable(const std::string& path) override {
        const HANDLE handle = ::CreateFileW(wide(path).c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return lastError();
        ::CloseHandle(handle);
        return 0;
    }

    int setMode(int fd, unsigned mode) override {
        const HANDLE handle = handleOf(fd);
        if (handle == INVALID_HANDLE_VALUE)
            return -EBADF;
        FILE_BASIC_INFO basic{};
        if (!::GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic))
            return lastError();
        const DWORD wanted = mode & mode::kOwnerWrite
                                 ? basic.FileAttributes & ~DWORD{FILE_ATTRIBUTE_READONLY}
                                 : basic.FileAttributes | FILE_ATTRIBUTE_READONLY;
        if (wanted == basic.FileAttributes)
            return 0;
        basic.FileAttributes = wanted;
        return ::SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic)
                   ? 0
                   : lastError();
    }

    // A file this program makes belongs to the user who runs it, as the one it replaces did.
    int setOwner(int, unsigned, unsigned) override { return 0; }
    unsigned newFileMode() override { return 0666; }
    unsigned effectiveUser() override { return kThisUser; }

    std::string userName(unsigned user) override {
        if (user != kThisUser)
            return "another user";
        std::wstring name(256, L'\0');
        DWORD size = static_cast<DWORD>(name.size());
        if (!::GetUserNameW(name.data(), &size) || size == 0)
            return "you";
        name.resize(size - 1);
        return narrow(name);
    }

    int lock(int fd, Lock kind) override {
        const HANDLE handle = handleOf(fd);
        if (handle == INVALID_HANDLE_VALUE)
            return -EBADF;
        OVERLAPPED at{};
        at.Offset = kLockOffsetLow;
        at.OffsetHigh = kLockOffsetHigh;
        const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY |
                            (kind == Lock::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : DWORD{0});
        if (::LockFileEx(handle, flags, 0, 1, 0, &at))
            return 0;
        const DWORD error = ::GetLastError();
        if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING)
            return -EWOULDBLOCK;
        if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION)
            return -ENOLCK;
        return fromWin32(error);
    }

    int rename(const std::string& from, const std::string& to) override {
        const std::wstring source = wide(from);
        if (!::MoveFileExW(source.c_str(), wide(to).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return lastError();
        clearPending(source);
        return 0;
    }

    int unlink(const std::string& path) override {
        const std::wstring name = wide(path);
        if (!::DeleteFileW(name.c_str()))
            return lastError();
        clearPending(name);
        return 0;
    }

private:
    // Others may read, write and remove a file this program has open, as on Linux.
    static constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    static constexpr int kFirstOwn = 3;

    int adopt(HANDLE handle, const std::string& path) {
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = ::GetLastError();
            // A folder opens only for its attributes: say what it is, as Linux would once read.
            if (error == ERROR_ACCESS_DENIED) {
                const DWORD attributes = ::GetFileAttributesW(wide(path).c_str());
                if (attributes != INVALID_FILE_ATTRIBUTES &&
                    (attributes & FILE_ATTRIBUTE_DIRECTORY))
                    return -EISDIR;
            }
            return fromWin32(error);
        }
        std::lock_guard lock(m_mutex);
        if (m_handles.size() < kFirstOwn)
            m_handles.resize(kFirstOwn, INVALID_HANDLE_VALUE);
        for (std::size_t fd = kFirstOwn; fd < m_handles.size(); ++fd)
            if (m_handles[fd] == INVALID_HANDLE_VALUE) {
                m_handles[fd] = handle;
                return static_cast<int>(fd);
            }
        m_handles.push_back(handle);
        return static_cast<int>(m_handles.size() - 1);
    }

    HANDLE handleOf(int fd) {
        if (fd == kStandardInput)
            return ::GetStdHandle(STD_INPUT_HANDLE);
        if (fd == kStandardOutput)
            return ::GetStdHandle(STD_OUTPUT_HANDLE);
        if (fd == 2)
            return ::GetStdHandle(STD_ERROR_HANDLE);
        std::lock_guard lock(m_mutex);
        if (fd < 0 || static_cast<std::size_t>(fd) >= m_handles.size())
            return INVALID_HANDLE_VALUE;
        return m_handles[static_cast<std::size_t>(fd)];
    }

    // One ReadFile or WriteFile, at `offset` when one is given; the end of a file or a pipe
    // reads as 0 bytes.
    std::int64_t transfer(int fd, std::uint8_t* buffer, std::size_t count,
                          const std::int64_t* offset, bool writing) {
        const HANDLE handle = handleOf(fd);
        if (handle == INVALID_HANDLE_VALUE || handle == nullptr)
            return -EBADF;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
        OVERLAPPED at{};
        if (offset) {
            at.Offset = static_cast<DWORD>(*offset & 0xFFFFFFFF);
            at.OffsetHigh = static_cast<DWORD>(*offset >> 32);
        }
        DWORD done = 0;
        const BOOL ok = writing ? ::WriteFile(handle, buffer, chunk, &done, offset ? &at : nullptr)
                                : ::ReadFile(handle, buffer, chunk, &done, offset ? &at : nullptr);
        if (ok)
            return done;
        const DWORD error = ::GetLastError();
        if (!writing && (error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE))
            return 0;
        return fromWin32(error);
    }

    int statusAt(const std::string& path, DWORD flags, FileStatus& status) {
        const HANDLE handle =
            ::CreateFileW(wide(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                          FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return lastError();
        const int result = describe(handle, status);
        ::CloseHandle(handle);
        return result;
    }

    static int describe(HANDLE handle, FileStatus& status) {
        status = FileStatus{};
        switch (::GetFileType(handle)) {
        case FILE_TYPE_CHAR:
            status.mode = mode::kCharacterDevice | 0600;
            return 0;
        case FILE_TYPE_PIPE:
            status.mode = mode::kFifo | 0600;
            return 0;
        case FILE_TYPE_DISK:
            break;
        default:
            status.mode = 0600;
            return 0;
        }
        BY_HANDLE_FILE_INFORMATION info{};
        if (!::GetFileInformationByHandle(handle, &info))
            return lastError();
        unsigned type =
            info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? mode::kDirectory : mode::kRegular;
        if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            FILE_ATTRIBUTE_TAG_INFO tag{};
            if (::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag) &&
                tag.ReparseTag == IO_REPARSE_TAG_SYMLINK)
                type = mode::kLink;
        }
        // Only the owner may write: no other user's write bits exist to grant.
        status.mode = type | 0400 |
                      (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY ? 0u : mode::kOwnerWrite);
        status.size = (static_cast<std::int64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
        status.device = info.dwVolumeSerialNumber;
        status.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        status.links = info.nNumberOfLinks;
        readOwner(handle, status);
        return 0;
    }

    // This user, where the file's owner is the user who runs the program, another user
    // otherwise; unknown where the volume keeps no owners (FAT32, exFAT).
    static void readOwner(HANDLE handle, FileStatus& status) {
        PSID owner = nullptr;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        status.owner = kThisUser;
        if (::GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                              nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
            status.ownerKnown = false;
            return;
        }
        if (!owner)
            status.ownerKnown = false;
        else if (!isThisUser(owner))
            status.owner = kOtherUser;
        ::LocalFree(descriptor);
    }

    // Whether `sid` is the user who runs the program, or the owner it gives the files it makes
    // (the Administrators group, for a program run as administrator).
    static bool isThisUser(PSID sid) {
        HANDLE token = nullptr;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
            return true;
        const auto sidOf = [token](TOKEN_INFORMATION_CLASS kind,
                                   std::vector<std::uint8_t>& buffer) {
            DWORD size = 0;
            ::GetTokenInformation(token, kind, nullptr, 0, &size);
            buffer.resize(size);
            return size > 0 && ::GetTokenInformation(token, kind, buffer.data(), size, &size) != 0;
        };
        std::vector<std::uint8_t> user;
        std::vector<std::uint8_t> owner;
        bool same = true;
        if (sidOf(TokenUser, user))
            same = ::EqualSid(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, sid) != 0;
        if (!same && sidOf(TokenOwner, owner))
            same = ::EqualSid(reinterpret_cast<TOKEN_OWNER*>(owner.data())->Owner, sid) != 0;
        ::CloseHandle(token);
        return same;
    }

    std::mutex m_mutex;
    std::vector<HANDLE> m_handles;
};

} // namespace

SysIo& systemIo() {
    static WindowsSysIo io;
    return io;
}

} // namespace files
