#pragma once
// How every path of the drives and game directories is built: a folder and a
// name joined by one separator, and folders written with a trailing one. The
// separator is the system's own ('/', or '\' on Windows, where '/' is read as
// one too), so the paths shown and registered are written the system's way.

#include <string>
#include <string_view>

namespace moxtrel::platform {

#ifdef _WIN32
inline constexpr char Separator = '\\';
inline constexpr bool IsSeparator(char c) { return c == '\\' || c == '/'; }
#else
inline constexpr char Separator = '/';
inline constexpr bool IsSeparator(char c) { return c == '/'; }
#endif

inline bool EndsWithSeparator(std::string_view path) {
    return !path.empty() && IsSeparator(path.back());
}

// "name" or "name/" joined the way every path of the drives is built: a
// separator is put between them unless `path` already ends with one.
inline std::string JoinPath(std::string path, std::string_view name) {
    if (!EndsWithSeparator(path)) path += Separator;
    path += name;
    return path;
}

// `path` with a trailing separator added when it has none.
inline std::string WithTrailingSlash(std::string path) {
    if (!EndsWithSeparator(path)) path += Separator;
    return path;
}

// `path` without trailing separators, except where they make the root ("/",
// or "C:\" on Windows).
inline std::string_view WithoutTrailingSeparator(std::string_view path) {
    while (path.size() > 1 && IsSeparator(path.back())) {
#ifdef _WIN32
        if (path.size() == 3 && path[1] == ':') break;
#endif
        path.remove_suffix(1);
    }
    return path;
}

// Where the last component of `path` starts.
inline std::size_t LastComponentStart(std::string_view path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (IsSeparator(path[i - 1])) return i;
    }
#ifdef _WIN32
    // "C:name" is name in drive C's current folder.
    if (path.size() >= 2 && path[1] == ':') return 2;
#endif
    return 0;
}

// The folder part of `path` with its trailing separator; empty when `path`
// names something in the current folder.
inline std::string FolderOf(std::string_view path) {
    return std::string(path.substr(0, LastComponentStart(path)));
}

// The last component of `path`: what follows its last separator.
inline std::string NameOf(std::string_view path) {
    return std::string(path.substr(LastComponentStart(path)));
}

// Whether `path` is absolute: it starts at a root ("/", or "C:\" and "\\server\"
// on Windows).
inline bool IsAbsolutePath(std::string_view path) {
#ifdef _WIN32
    if (path.size() >= 3 && path[1] == ':' && IsSeparator(path[2])) return true;
    return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
#else
    return !path.empty() && path[0] == '/';
#endif
}

}  // namespace moxtrel::platform
