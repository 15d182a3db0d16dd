#include "platform/wine/WineServer.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/File.h"

namespace moxtrel::platform::wine {

namespace {

// The name a Debian build keeps in the prefix's "wineserver" file: its server
// root folder below the temporary folder. Empty when there is none.
std::string DebianServerRootName(const std::string& prefix) {
    File file;
    if (!file.OpenRegularForReading(prefix + "/wineserver")) return {};
    std::string name;
    try {
        name = file.ReadToEnd();
    } catch (const FileError&) {
        return {};
    }
    // The build reads it as one line.
    name = name.substr(0, name.find('\n'));
    return name.find('\0') == std::string::npos ? name : std::string();
}

// The record the server locks: its lock file's first byte.
struct flock FirstByte() {
    struct flock range {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    range.l_start = 0;
    range.l_len = 1;
    return range;
}

// Takes the lock of the server folder `folder`: its descriptor, or -1 when
// it is not taken, with `serverRuns` set when a server holds it (its process
// in `owner`, 0 when the system does not say).
int TakeLock(const std::string& folder, bool& serverRuns, pid_t& owner) {
    const int descriptor = ::open((folder + "/lock").c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0) return -1;
    struct flock range = FirstByte();
    if (::fcntl(descriptor, F_SETLK, &range) == 0) return descriptor;
    if (errno == EAGAIN || errno == EACCES) {
        serverRuns = true;
        range = FirstByte();
        if (::fcntl(descriptor, F_GETLK, &range) == 0 && range.l_type != F_UNLCK) owner = range.l_pid;
    } else {
        // A file system without record locks: the server goes by its socket there.
        struct stat socket {};
        serverRuns = ::lstat((folder + "/socket").c_str(), &socket) == 0;
    }
    ::close(descriptor);
    return -1;
}

}  // namespace

std::vector<std::string> WineServerFolders(const std::string& prefix, const std::string& temporaryFolder) {
    struct stat folder {};
    if (::stat(prefix.c_str(), &folder) != 0) return {};
    char name[64];
    std::snprintf(name, sizeof name, "/server-%lx-%lx", static_cast<unsigned long>(folder.st_dev),
                  static_cast<unsigned long>(folder.st_ino));
    const std::string uid = std::to_string(::getuid());
    std::vector<std::string> folders = {"/run/user/" + uid + "/wine" + name, "/tmp/.wine-" + uid + name};
    if (const std::string root = DebianServerRootName(prefix); !root.empty()) {
        if (!temporaryFolder.empty()) folders.push_back(temporaryFolder + "/" + root + name);
        folders.push_back("/tmp/" + root + name);
    }
    return folders;
}

WineServerLock WineServerLock::Take(const std::string& prefix, const std::string& temporaryFolder) {
    WineServerLock lock;
    for (const std::string& folder : WineServerFolders(prefix, temporaryFolder)) {
        const int descriptor = TakeLock(folder, lock.m_serverRuns, lock.m_serverProcess);
        if (descriptor >= 0) lock.m_held.push_back(descriptor);
        if (lock.m_serverRuns) {
            lock.Release();
            break;
        }
    }
    return lock;
}

WineServerLock::WineServerLock(WineServerLock&& other) noexcept
    : m_held(std::move(other.m_held)), m_serverRuns(other.m_serverRuns), m_serverProcess(other.m_serverProcess) {
    other.m_held.clear();
}

WineServerLock& WineServerLock::operator=(WineServerLock&& other) noexcept {
    if (this != &other) {
        Release();
        m_held = std::move(other.m_held);
        other.m_held.clear();
        m_serverRuns = other.m_serverRuns;
        m_serverProcess = other.m_serverProcess;
    }
    return *this;
}

WineServerLock::~WineServerLock() {
    Release();
}

void WineServerLock::Release() noexcept {
    for (int descriptor : m_held) ::close(descriptor);
    m_held.clear();
}

}  // namespace moxtrel::platform::wine
