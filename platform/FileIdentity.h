#pragma once
// Whether two paths lead to one file: compared by the file's identity (its
// device and inode, or volume and file index on Windows), not by spelling,
// so "..", letter case on a file system that ignores it, and links do not
// hide that a file to be written is one that is being read.

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/FsPath.h"

namespace moxtrel::platform {

// True when both paths exist and lead, through any links, to the same file.
inline bool IsSameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    bool same = std::filesystem::equivalent(ToFsPath(a), ToFsPath(b), error);
    return same && !error;
}

}  // namespace moxtrel::platform
