// The file layer over POSIX descriptors.

#include "platform/File.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "platform/posix/TemporaryNames.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace moxtrel::platform {

namespace {

int Fd(NativeHandle handle) {
    return static_cast<int>(handle);
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// The entry of `directory` whose name matches `name` without regard to case,
// the first in name order; empty when there is none.
std::string FindEntryIgnoringCase(const std::string& directory, const std::string& name) {
    DIR* listing = ::opendir(directory.empty() ? "." : directory.c_str());
    if (!listing) return {};
    std::vector<std::string> matches;
    while (const dirent* entry = ::readdir(listing)) {
        if (EqualsIgnoringCase(entry->d_name, name)) matches.emplace_back(entry->d_name);
    }
    ::closedir(listing);
    if (matches.empty()) return {};
    return *std::min_element(matches.begin(), matches.end());
}

// The share mode as an advisory lock, which every Moxtrel process and any
// program that asks respects: denying others the writing takes a shared lock,
// so readers go on together; denying them the reading takes an exclusive one.
// The lock is never waited for: a file that another holds against this mode
// cannot be opened now (EWOULDBLOCK). It goes with the descriptor.
bool TakeShareLock(int fd, unsigned modeFlags) {
    int lock = 0;
    switch (modeFlags & FileMode::ShareMask) {
        case FileMode::ShareDenyWrite: lock = LOCK_SH; break;
        case FileMode::ShareDenyRead: lock = LOCK_EX; break;
        default: return true;
    }
    while (::flock(fd, lock | LOCK_NB) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

// Reads until `count` bytes are in or the file ends: `readSome` makes one
// system call for what is still wanted after the `done` bytes read so far.
// False, with errno kept, when the system fails the read.
template <typename ReadSome>
bool ReadUntilFullOrEnd(ReadSome readSome, unsigned char* bytes, std::size_t count, std::size_t& done) {
    while (done < count) {
        ssize_t got = readSome(bytes + done, count - done, done);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace

std::string ResolvePathIgnoringCase(const std::string& path) {
    if (path.empty() || Exists(path)) return path;
    std::string resolved;
    std::size_t start = 0;
    if (path[0] == '/') {
        resolved = "/";
        start = 1;
    }
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string component = path.substr(start, end - start);
        if (!component.empty() && component != "." && component != "..") {
            std::string candidate = resolved + component;
            if (!Exists(candidate)) {
                std::string found = FindEntryIgnoringCase(resolved, component);
                if (!found.empty()) candidate = resolved + found;
            }
            resolved = candidate;
        } else if (!component.empty()) {
            resolved += component;
        }
        if (end < path.size()) resolved += '/';
        start = end + 1;
    }
    return resolved;
}

bool File::Open(const std::string& path, unsigned modeFlags) {
    Release();
    int flags = O_CLOEXEC;
    if (modeFlags & FileMode::ReadWrite) {
        flags |= O_RDWR;
    } else if (modeFlags & FileMode::Write) {
        flags |= O_WRONLY;
    } else {
        flags |= O_RDONLY;
    }
    std::string resolved = path;
    // A file is emptied only once its share lock is held, so an open that
    // another program's share mode refuses leaves the file as it was.
    bool truncate = false;
    if (modeFlags & FileMode::Create) {
        flags |= O_CREAT;
        truncate = !(modeFlags & FileMode::NoTruncate);
    } else {
        resolved = ResolvePathIgnoringCase(path);
    }
    int fd = ::open(resolved.c_str(), flags, 0644);
    if (fd < 0) {
        m_lastOsError = errno;
        return false;
    }
    if (!TakeShareLock(fd, modeFlags) || (truncate && ::ftruncate(fd, 0) != 0)) {
        m_lastOsError = errno;
        ::close(fd);
        return false;
    }
    // A folder opens for reading here, yet it is no file: refuse it as the
    // open of a file named like a folder is refused.
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        m_lastOsError = EISDIR;
        return false;
    }
    return Adopt(fd, resolved);
}

bool File::OpenTemporary(const std::string& directory, const std::string& prefix) {
    Release();
    std::string pattern = directory + prefix + "XXXXXX";
    int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        m_lastOsError = errno;
        return false;
    }
    // mkostemp makes the file private; give it the mode any new file would get.
    mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, static_cast<mode_t>(0666 & ~mask)) != 0) {
        m_lastOsError = errno;
        ::close(fd);
        ::unlink(pattern.c_str());
        return false;
    }
    return Adopt(fd, pattern);
}

bool File::OpenUnnamed(const std::string& directory, const std::string& prefix) {
    Release();
#ifdef O_TMPFILE
    int fd = ::open(directory.empty() ? "." : directory.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) return Adopt(fd, directory + prefix + system::RandomNameSuffix());
    // A file system without unnamed files says EOPNOTSUPP; a kernel that
    // knows nothing of them reads the flag as a folder opened for writing.
    m_lastOsError = (errno == EISDIR || errno == EINVAL) ? EOPNOTSUPP : errno;
#else
    m_lastOsError = EOPNOTSUPP;
#endif
    return false;
}

bool File::OpenScratch(const std::string& directory, const std::string& prefix) {
    // Unnamed from the start: nothing is left behind, whatever ends the run.
    if (OpenUnnamed(directory, prefix)) return true;
    if (m_lastOsError != EOPNOTSUPP) return false;
    // Otherwise the name goes at once, and no interrupt comes between.
    system::InterruptsHeld held;
    if (!OpenTemporary(directory, prefix)) return false;
    RemoveFile(m_path);
    return true;
}

bool File::OpenRegularForReading(const std::string& path) {
    Release();
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        m_lastOsError = errno;
        return false;
    }
    struct stat info {};
    int refusal = 0;
    if (::fstat(fd, &info) != 0) {
        refusal = errno;
    } else if (S_ISDIR(info.st_mode)) {
        refusal = EISDIR;
    } else if (!S_ISREG(info.st_mode)) {
        refusal = ENODEV;
    } else if (int flags = ::fcntl(fd, F_GETFL); flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        refusal = errno;
    }
    if (refusal != 0) {
        ::close(fd);
        m_lastOsError = refusal;
        return false;
    }
    return Adopt(fd, path);
}

bool File::OpenExactForReading(const std::string& path) {
    Release();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        m_lastOsError = errno;
        return false;
    }
    return Adopt(fd, path);
}

bool File::OpenAndLockExclusively(const std::string& path) {
    Release();
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        m_lastOsError = errno;
        return false;
    }
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            m_lastOsError = errno;
            ::close(fd);
            return false;
        }
    }
    return Adopt(fd, path);
}

bool File::IsRegularFile() const {
    struct stat info {};
    return IsOpen() && ::fstat(Fd(m_handle), &info) == 0 && S_ISREG(info.st_mode);
}

std::size_t File::Read(void* buffer, std::size_t count) {
    std::size_t done = 0;
    auto readSome = [this](unsigned char* into, std::size_t wanted, std::size_t) { return ::read(Fd(m_handle), into, wanted); };
    if (!ReadUntilFullOrEnd(readSome, static_cast<unsigned char*>(buffer), count, done)) Fail();
    return done;
}

std::size_t File::ReadAt(std::int64_t position, void* buffer, std::size_t count) {
    if (position < 0) {
        errno = EINVAL;
        Fail();
    }
    std::size_t done = 0;
    auto readSome = [this, position](unsigned char* into, std::size_t wanted, std::size_t before) {
        return ::pread(Fd(m_handle), into, wanted, static_cast<off_t>(position) + static_cast<off_t>(before));
    };
    if (!ReadUntilFullOrEnd(readSome, static_cast<unsigned char*>(buffer), count, done)) Fail();
    return done;
}

void File::Write(const void* buffer, std::size_t count) {
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        ssize_t put = ::write(Fd(m_handle), bytes + done, count - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            Fail();
        }
        if (put == 0) {
            errno = ENOSPC;
            Fail();
        }
        done += static_cast<std::size_t>(put);
    }
}

std::int64_t File::Seek(std::int64_t position) {
    if (position < 0) {
        errno = EINVAL;
        Fail();
    }
    off_t result = ::lseek(Fd(m_handle), static_cast<off_t>(position), SEEK_SET);
    if (result < 0) Fail();
    return result;
}

std::int64_t File::GetPosition() const {
    off_t result = ::lseek(Fd(m_handle), 0, SEEK_CUR);
    if (result < 0) Fail();
    return result;
}

std::int64_t File::GetLength() const {
    struct stat info {};
    if (::fstat(Fd(m_handle), &info) != 0) Fail();
    return info.st_size;
}

void File::Flush() {
    if (::fsync(Fd(m_handle)) != 0 && errno != EINVAL && errno != EROFS) Fail();
}

void File::Close() {
    if (!IsOpen()) return;
    int fd = Fd(m_handle);
    m_handle = NoNativeHandle;
    if (::close(fd) != 0 && errno != EINTR) {
        throw FileError(errno, m_path);
    }
}

void File::Fail() const {
    throw FileError(errno, m_path);
}

void File::Release() noexcept {
    if (IsOpen()) ::close(Fd(m_handle));
    m_handle = NoNativeHandle;
}

namespace {

PathKind KindOfStat(const struct stat& info) {
    if (S_ISLNK(info.st_mode)) return PathKind::Link;
    if (S_ISDIR(info.st_mode)) return PathKind::Folder;
    if (S_ISFIFO(info.st_mode)) return PathKind::Fifo;
    return S_ISREG(info.st_mode) ? PathKind::File : PathKind::Other;
}

}  // namespace

PathKind KindOf(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? KindOfStat(info) : PathKind::Missing;
}

PathKind KindOfTarget(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? KindOfStat(info) : PathKind::Missing;
}

bool RemoveFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

std::string OsErrorText(int osError) {
    return std::strerror(osError);
}

std::string GetCurrentDirectory() {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return {};
        buffer.resize(buffer.size() * 2);
    }
    return WithTrailingSlash(buffer.data());
}

bool SetCurrentDirectory(const std::string& path) {
    if (path.empty()) return false;
    return ::chdir(ResolvePathIgnoringCase(path).c_str()) == 0;
}

}  // namespace moxtrel::platform
