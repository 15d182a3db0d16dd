// The POSIX steps of a file replacement: the temporary file is unnamed where
// the file system allows (O_TMPFILE) and is linked under a temporary name only
// to be renamed over the target; permissions, owner and group by fchmod and
// fchown; the rename made durable by an fsync of the folder. Whenever the
// temporary file has a name, that name is watched, so an interrupting signal
// removes it before it ends the process.

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileReplacementSystem.h"
#include "platform/Paths.h"
#include "platform/posix/TemporaryNames.h"

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

mode_t NewFileMode(FileReplacement::NewFileAccess access) {
    if (access == FileReplacement::NewFileAccess::OwnerOnly) return 0600;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

// Gives the new file the target's owner and group, as far as the process may:
// anyone may keep a group they belong to, only a privileged process an owner.
bool KeepOwner(int fd, const struct stat& target) {
    if (::fchown(fd, target.st_uid, target.st_gid) == 0) return true;
    if (errno != EPERM) return false;
    return ::fchown(fd, static_cast<uid_t>(-1), target.st_gid) == 0 || errno == EPERM;
}

// The target's permissions, owner and group when it is a file; otherwise
// those a new file gets. The owner goes first: changing it clears the
// set-user-ID and set-group-ID bits, which the mode then puts back.
bool ApplyPermissions(int fd, const std::string& target, FileReplacement::NewFileAccess access) {
    struct stat existing {};
    if (::stat(target.c_str(), &existing) != 0 || !S_ISREG(existing.st_mode)) {
        return ::fchmod(fd, NewFileMode(access)) == 0;
    }
    return KeepOwner(fd, existing) && ::fchmod(fd, existing.st_mode & 07777) == 0;
}

// Opens the temporary file as `output`: unnamed where the file system can
// hold one, otherwise under a new name that is watched from its creation.
int OpenTemporary(const std::string& folder, const std::string& prefix, File& output,
                  ReplacementTemporary& temporary) {
    if (output.OpenUnnamed(folder, prefix)) {
        temporary = {output.GetFilePath(), false, -1};
        return 0;
    }
    if (output.LastOsError() != EOPNOTSUPP) return output.LastOsError();
    InterruptsHeld held;
    if (!output.OpenTemporary(folder, prefix)) return output.LastOsError();
    temporary = {output.GetFilePath(), true, WatchName(output.GetFilePath())};
    return 0;
}

// Links the open unnamed file `fd` into the file system as `path`: through
// its entry in /proc, or by the descriptor itself where /proc is missing
// (which needs a privilege on older kernels).
bool LinkUnnamed(int fd, const std::string& path) {
    const std::string entry = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, entry.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
#ifdef AT_EMPTY_PATH
    if (errno == ENOENT) return ::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0;
#endif
    return false;
}

// Gives the unnamed temporary file its name, or a fresh one while another
// file holds it. The name is watched before it exists, so that no moment
// goes by in which an interrupt would leave the file.
int GiveName(File& output, ReplacementTemporary& temporary) {
    constexpr int Attempts = 100;
    const int fd = static_cast<int>(output.Handle());
    for (int attempt = 1;; ++attempt) {
        InterruptsHeld held;
        temporary.watchedAt = WatchName(temporary.path);
        if (LinkUnnamed(fd, temporary.path)) {
            temporary.named = true;
            return 0;
        }
        const int error = errno;
        StopWatching(temporary.watchedAt);
        temporary.watchedAt = -1;
        if (error != EEXIST || attempt == Attempts) return error;
        const std::size_t suffix = temporary.path.size() - 6;
        temporary.path.replace(suffix, 6, RandomNameSuffix());
    }
}

}  // namespace

int CheckReplaceable(const std::string& target) {
    struct stat existing {};
    if (::stat(target.c_str(), &existing) != 0 || S_ISDIR(existing.st_mode)) return 0;
    return (existing.st_mode & 0222) == 0 ? EACCES : 0;
}

int CreateTemporary(const std::string& target, const std::string& prefix, FileReplacement::NewFileAccess access,
                    File& output, ReplacementTemporary& temporary) {
    InstallInterruptCleanup();
    if (int error = OpenTemporary(FolderOf(target), prefix, output, temporary); error != 0) return error;
    if (!ApplyPermissions(static_cast<int>(output.Handle()), target, access)) {
        const int error = errno;
        RemoveTemporary(output, temporary);
        return error;
    }
    return 0;
}

int MoveOver(File& output, ReplacementTemporary& temporary, const std::string& target) {
    if (!temporary.named) {
        if (int error = GiveName(output, temporary); error != 0) return error;
    }
    try {
        output.Close();
    } catch (const FileError& error) {
        return error.OsError();
    }
    {
        InterruptsHeld held;
        if (std::rename(temporary.path.c_str(), target.c_str()) != 0) return errno;
        temporary.named = false;
        StopWatching(temporary.watchedAt);
        temporary.watchedAt = -1;
    }
    SyncFolder(FolderOf(target));
    return 0;
}

void RemoveTemporary(File& output, ReplacementTemporary& temporary) noexcept {
    try {
        output.Close();
    } catch (const FileError&) {
    }
    // An unnamed file went with its descriptor.
    if (temporary.named) ::unlink(temporary.path.c_str());
    temporary.named = false;
    StopWatching(temporary.watchedAt);
    temporary.watchedAt = -1;
}

}  // namespace moxtrel::platform::system
