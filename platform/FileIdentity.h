#pragma once
// Which file a path leads to, whatever its spelling: two paths that differ in
// letter case, go through "..", a symbolic link or a second hard link lead to
// one file when their identities are equal. A run compares the files it
// writes with the files it reads this way, so it never writes over a source.

#include <cstdint>
#include <optional>
#include <string>

namespace moxtrel::platform {

struct FileIdentity {
    std::uint64_t volume = 0;  // the device, or the volume's serial on Windows
    std::uint64_t object = 0;  // the inode, or the file index on Windows

    bool operator==(const FileIdentity&) const = default;
};

// The identity of what `path` leads to (following links); none when nothing
// is there or it cannot be asked.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// True when both paths exist and lead, through any links, to the same file.
inline bool IsSameFile(const std::string& a, const std::string& b) {
    std::optional<FileIdentity> identity = IdentityOf(a);
    return identity && identity == IdentityOf(b);
}

}  // namespace moxtrel::platform
