// The POSIX steps of a file replacement: permissions by fchmod, the move by
// rename, made durable by an fsync of the folder.

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileReplacementSystem.h"
#include "platform/Paths.h"

namespace moxtrel::platform::system {

namespace {

// Makes a rename in `folder` durable. A failure here cannot undo the rename,
// so it is not reported.
void SyncFolder(const std::string& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

bool ApplyPermissions(File& output, const std::string& target, FileReplacement::Permissions permissions) {
    const int fd = static_cast<int>(output.Handle());
    if (permissions == FileReplacement::Permissions::NewFile) {
        mode_t mask = ::umask(0);
        ::umask(mask);
        return ::fchmod(fd, static_cast<mode_t>(0666 & ~mask)) == 0;
    }
    struct stat existing {};
    mode_t mode = ::stat(target.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0600;
    return ::fchmod(fd, mode) == 0;
}

int MoveOver(const std::string& temporary, const std::string& target) {
    if (std::rename(temporary.c_str(), target.c_str()) != 0) return errno;
    SyncFolder(FolderOf(target));
    return 0;
}

}  // namespace moxtrel::platform::system
