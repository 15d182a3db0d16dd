// Directory listings over POSIX directory streams.

#include "platform/DirectoryListing.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/File.h"
#include "platform/Paths.h"

namespace moxtrel::platform {

namespace {

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

VolumeFence::VolumeFence(const std::string& root, const std::vector<std::string>& mountPoints)
    : m_open(false), m_root(WithoutTrailingSeparator(root)) {
    struct stat info {};
    if (::stat(m_root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        m_valid = false;
        return;
    }
    m_device = static_cast<std::uint64_t>(info.st_dev);
    std::string prefix = m_root == "/" ? m_root : m_root + "/";
    for (const std::string& point : mountPoints) {
        if (point.size() > prefix.size() && point.compare(0, prefix.size(), prefix) == 0) {
            m_mountPointsBelowRoot.push_back(point);
        }
    }
    std::sort(m_mountPointsBelowRoot.begin(), m_mountPointsBelowRoot.end());
}

struct DirectoryListing::State {
    DIR* dir = nullptr;
};

DirectoryListing::DirectoryListing() = default;

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
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    m_state = std::make_unique<State>(State{dir});
    m_device = static_cast<std::uint64_t>(info.st_dev);
    m_inode = static_cast<std::uint64_t>(info.st_ino);
    return true;
}

bool DirectoryListing::Next(DirectoryEntry& entry) {
    if (!m_state) return false;
    while (const dirent* found = ::readdir(m_state->dir)) {
        if (IsDotOrDotDot(found->d_name)) continue;
        bool isDirectory = found->d_type == DT_DIR;
        if (found->d_type == DT_UNKNOWN) {
            // Some file systems do not say; ask, still without following a link.
            struct stat info {};
            isDirectory = ::fstatat(::dirfd(m_state->dir), found->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                          S_ISDIR(info.st_mode);
        }
        entry.name = found->d_name;
        entry.isDirectory = isDirectory;
        return true;
    }
    return false;
}

void DirectoryListing::Close() {
    if (m_state) ::closedir(m_state->dir);
    m_state.reset();
}

}  // namespace moxtrel::platform
