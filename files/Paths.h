#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// How a file's name is split from its folder. On Linux only '/' separates the names of a path,
// and a backslash is a letter like any other; on Windows '\' and '/' both do, after a drive
// ("C:") or a network share ("\\server\share") that roots the path.
namespace files {

enum class PathRules { Posix, Windows };
#ifdef _WIN32
inline constexpr PathRules kNativePathRules = PathRules::Windows;
#else
inline constexpr PathRules kNativePathRules = PathRules::Posix;
#endif

// Where the last name of `path` starts: after its last separator or its drive, or at 0.
[[nodiscard]] std::size_t nameStart(std::string_view path, PathRules rules = kNativePathRules);
// The last name of `path`: "image.nds" of "roms/image.nds".
[[nodiscard]] std::string lastName(const std::string& path, PathRules rules = kNativePathRules);
// The folder part of `path`: "." for a bare name, the root itself ("/", "C:\", "\\server\share\")
// for a name in a root.
[[nodiscard]] std::string folderOf(const std::string& path, PathRules rules = kNativePathRules);
// The path of `name` in the folder that holds `path`: "roms/.image.nds.XXXXXX" for
// ("roms/image.nds", ".image.nds.XXXXXX").
[[nodiscard]] std::string besideName(const std::string& path, const std::string& name,
                                     PathRules rules = kNativePathRules);
// Whether `path` names its file without a folder to start from: "/x", or on Windows "C:\x",
// "\x" and "\\server\share\x".
[[nodiscard]] bool isAbsolute(std::string_view path, PathRules rules = kNativePathRules);

} // namespace files
