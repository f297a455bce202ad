#include "Paths.h"

namespace files {
namespace {

bool isSeparator(char c, PathRules rules) {
    return c == '/' || (rules == PathRules::Windows && c == '\\');
}

bool hasDrive(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// How many bytes of `path` its root takes: "/" on Linux; on Windows "C:\", "C:" (the drive's
// current folder), "\" (the current drive's root) or "\\server\share\".
std::size_t rootLength(std::string_view path, PathRules rules) {
    if (rules == PathRules::Posix)
        return !path.empty() && path.front() == '/' ? 1 : 0;
    if (hasDrive(path))
        return path.size() > 2 && isSeparator(path[2], rules) ? 3 : 2;
    if (path.size() >= 2 && isSeparator(path[0], rules) && isSeparator(path[1], rules)) {
        // A share: the server's name and the share's, each up to its separator.
        std::size_t at = 2;
        for (int names = 0; names < 2 && at < path.size(); ++names) {
            while (at < path.size() && !isSeparator(path[at], rules))
                ++at;
            if (at < path.size())
                ++at;
        }
        return at;
    }
    return !path.empty() && isSeparator(path.front(), rules) ? 1 : 0;
}

} // namespace

std::size_t nameStart(std::string_view path, PathRules rules) {
    const std::size_t root = rootLength(path, rules);
    for (std::size_t at = path.size(); at > root; --at)
        if (isSeparator(path[at - 1], rules))
            return at;
    return root;
}

std::string lastName(const std::string& path, PathRules rules) {
    return path.substr(nameStart(path, rules));
}

std::string folderOf(const std::string& path, PathRules rules) {
    const std::size_t start = nameStart(path, rules);
    const std::size_t root = rootLength(path, rules);
    if (start == 0)
        return ".";
    if (start <= root)
        return path.substr(0, root);
    return path.substr(0, start - 1);
}

std::string besideName(const std::string& path, const std::string& name, PathRules rules) {
    return path.substr(0, nameStart(path, rules)) + name;
}

bool isAbsolute(std::string_view path, PathRules rules) {
    const std::size_t root = rootLength(path, rules);
    return root > 0 && !(rules == PathRules::Windows && root == 2 && hasDrive(path));
}

} // namespace files
