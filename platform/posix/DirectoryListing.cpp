#include "platform/DirectoryListing.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/File.h"
#include "platform/Volumes.h"

namespace moxtrel::platform {

namespace {

std::string_view WithoutTrailingSlash(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    return path;
}

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

VolumeFence::VolumeFence(const std::string& root) : m_open(false), m_root(WithoutTrailingSlash(root)) {
    struct stat info {};
    if (::stat(m_root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        m_valid = false;
        return;
    }
    m_device = static_cast<std::uint64_t>(info.st_dev);
    std::string prefix = m_root == "/" ? m_root : m_root + "/";
    for (std::string& point : ListMountPoints()) {
        if (point.size() > prefix.size() && point.compare(0, prefix.size(), prefix) == 0) {
            m_mountPointsBelowRoot.push_back(std::move(point));
        }
    }
    std::sort(m_mountPointsBelowRoot.begin(), m_mountPointsBelowRoot.end());
}

VolumeFence::VolumeFence(std::string root, std::uint64_t device, std::vector<std::string> mountPoints)
    : m_open(false),
      m_root(WithoutTrailingSlash(root)),
      m_device(device),
      m_mountPointsBelowRoot(std::move(mountPoints)) {
    std::sort(m_mountPointsBelowRoot.begin(), m_mountPointsBelowRoot.end());
}

bool VolumeFence::Admits(std::string_view path, std::uint64_t device) const {
    if (m_open) return true;
    if (!m_valid || device != m_device) return false;
    if (m_mountPointsBelowRoot.empty()) return true;
    path = WithoutTrailingSlash(path);
    if (path == m_root) return true;
    return !std::binary_search(m_mountPointsBelowRoot.begin(), m_mountPointsBelowRoot.end(), path,
                               [](std::string_view a, std::string_view b) { return a < b; });
}

DirectoryListing::~DirectoryListing() {
    Close();
}

bool DirectoryListing::Open(const std::string& path, const VolumeFence& fence) {
    Close();
    // O_NOFOLLOW refuses a link as the last component; O_DIRECTORY anything
    // that is not a directory. The device and inode come from the open handle,
    // so they describe what is really listed.
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !fence.Admits(path, static_cast<std::uint64_t>(info.st_dev))) {
        ::close(fd);
        return false;
    }
    m_dir = ::fdopendir(fd);
    if (!m_dir) {
        ::close(fd);
        return false;
    }
    m_device = static_cast<std::uint64_t>(info.st_dev);
    m_inode = static_cast<std::uint64_t>(info.st_ino);
    return true;
}

bool DirectoryListing::Next(DirectoryEntry& entry) {
    if (!m_dir) return false;
    while (const dirent* found = ::readdir(m_dir)) {
        if (IsDotOrDotDot(found->d_name)) continue;
        bool isDirectory = found->d_type == DT_DIR;
        if (found->d_type == DT_UNKNOWN) {
            // Some file systems do not say; ask, still without following a link.
            struct stat info {};
            isDirectory = ::fstatat(::dirfd(m_dir), found->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                          S_ISDIR(info.st_mode);
        }
        entry.name = found->d_name;
        entry.isDirectory = isDirectory;
        return true;
    }
    return false;
}

void DirectoryListing::Close() {
    if (m_dir) ::closedir(m_dir);
    m_dir = nullptr;
}

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool EntryExistsIgnoringCase(const std::string& directory, std::string_view name) {
    std::string exact = JoinPath(directory.empty() ? "." : directory, name);
    struct stat info {};
    if (::lstat(exact.c_str(), &info) == 0) return true;
    DirectoryListing listing;
    if (!listing.Open(directory.empty() ? "." : directory)) return false;
    DirectoryEntry entry;
    while (listing.Next(entry)) {
        if (EqualsIgnoringCase(entry.name, name)) return true;
    }
    return false;
}

}  // namespace moxtrel::platform
