#include "platform/FileReplacement.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace moxtrel::platform {

namespace {

// The folder part of `path`, ending with '/'; empty for the current folder.
std::string FolderOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool ApplyPermissions(int fd, const std::string& target, FileReplacement::Permissions permissions) {
    if (permissions == FileReplacement::Permissions::NewFile) {
        mode_t mask = ::umask(0);
        ::umask(mask);
        return ::fchmod(fd, static_cast<mode_t>(0666 & ~mask)) == 0;
    }
    struct stat existing {};
    mode_t mode = ::stat(target.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0600;
    return ::fchmod(fd, mode) == 0;
}

// Makes a rename in `folder` durable. A failure here cannot undo the rename,
// so it is not reported.
void SyncFolder(const std::string& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

bool FileReplacement::Begin(const std::string& target, const std::string& temporaryPrefix, Permissions permissions) {
    Discard();
    m_target = target;
    m_sealed = false;
    if (!m_output.OpenTemporary(FolderOf(target), temporaryPrefix)) {
        m_lastOsError = m_output.LastOsError();
        return false;
    }
    m_temporary = m_output.GetFilePath();
    m_pending = true;
    if (!ApplyPermissions(m_output.Handle(), target, permissions)) {
        m_lastOsError = errno;
        Discard();
        return false;
    }
    return true;
}

void FileReplacement::Seal() {
    if (m_sealed) return;
    m_output.Flush();
    m_output.Close();
    m_sealed = true;
}

void FileReplacement::Commit() {
    Seal();
    if (std::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        int error = errno;
        Discard();
        throw FileError(error, m_target);
    }
    m_pending = false;
    SyncFolder(FolderOf(m_target));
}

void FileReplacement::Discard() noexcept {
    if (!m_pending) return;
    m_pending = false;
    try {
        m_output.Close();
    } catch (const FileError&) {
    }
    std::remove(m_temporary.c_str());
}

}  // namespace moxtrel::platform
