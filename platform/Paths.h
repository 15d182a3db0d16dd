#pragma once
// How every path of the drives and game directories is built: a folder and a
// name joined by one '/', and folders written with a trailing '/'.

#include <string>
#include <string_view>

namespace moxtrel::platform {

// "name" or "name/" joined the way every path of the drives is built: a '/'
// is put between them unless `path` already ends with one.
inline std::string JoinPath(std::string path, std::string_view name) {
    if (path.empty() || path.back() != '/') path += '/';
    path += name;
    return path;
}

// `path` with a trailing '/' added when it has none.
inline std::string WithTrailingSlash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

}  // namespace moxtrel::platform
