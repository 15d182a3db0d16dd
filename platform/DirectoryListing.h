#pragma once
// Directory listings for the drive tree and the drive scan. A listing gives
// each entry's name and whether it is a directory, in the order the file
// system keeps them, leaving out only "." and "..". Symbolic links are never
// followed: a link is never a directory, and a path whose last component is a
// link cannot be opened for listing. A VolumeFence keeps listings on one
// volume, so that neither the tree nor the scan steps into another mount.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace moxtrel::platform {

struct DirectoryEntry {
    std::string_view name;  // valid until the next entry is read
    bool isDirectory = false;
};

// Where a listing may go: the volume whose root it was made for. It refuses a
// directory on another device (a different file system mounted below the
// root) and a directory that is a mount point other than the root itself (a
// bind mount shares the device number of what it shows).
class VolumeFence {
public:
    // A fence that admits every directory.
    VolumeFence() = default;
    // A fence for the volume now at `root` that keeps out `mountPoints` (the
    // system's, from a drive table) below it; admits nothing when `root`
    // cannot be read.
    VolumeFence(const std::string& root, const std::vector<std::string>& mountPoints);
    // Builds a fence from known parts (the device of the root, the mount points).
    VolumeFence(std::string root, std::uint64_t device, std::vector<std::string> mountPoints);

    bool Admits(std::string_view path, std::uint64_t device) const;

private:
    bool m_open = true;
    bool m_valid = true;
    std::string m_root;  // without a trailing separator except at a drive's root
    std::uint64_t m_device = 0;
    std::vector<std::string> m_mountPointsBelowRoot;  // sorted
};

// One directory open for listing. Owns its handle; closes it when it goes.
class DirectoryListing {
public:
    DirectoryListing();
    ~DirectoryListing();
    DirectoryListing(const DirectoryListing&) = delete;
    DirectoryListing& operator=(const DirectoryListing&) = delete;

    // Opens the directory at `path`. Fails when it does not exist, is not a
    // directory, is a symbolic link, cannot be read, or lies outside `fence`.
    bool Open(const std::string& path, const VolumeFence& fence = VolumeFence());
    bool IsOpen() const { return m_state != nullptr; }
    std::uint64_t Device() const { return m_device; }
    std::uint64_t Inode() const { return m_inode; }

    // The next entry; false when the listing has no more (or the directory
    // vanished while it was read).
    bool Next(DirectoryEntry& entry);
    void Close();

private:
    // The system's listing in progress.
    struct State;
    std::unique_ptr<State> m_state;
    std::uint64_t m_device = 0;
    std::uint64_t m_inode = 0;
};

// Whether `path` is a directory now, not through a symbolic link.
bool IsDirectory(const std::string& path);

// Whether an entry named `name` exists in `directory`, the name matched
// without regard to ASCII case (an exact match is tried first). Any kind of
// entry counts.
bool EntryExistsIgnoringCase(const std::string& directory, std::string_view name);

}  // namespace moxtrel::platform
