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

// Whether process `owner` is a wineserver ("wineserver", or "wineserver64"
// in 64-bit builds). Another program that edits the prefix the way this one
// does holds the lock for a moment only.
bool IsWineServer(pid_t owner) {
    File name;
    if (owner <= 0 || !name.OpenExactForReading("/proc/" + std::to_string(owner) + "/comm")) return true;
    try {
        return name.ReadToEnd().rfind("wineserver", 0) == 0;
    } catch (const FileError&) {
        return true;
    }
}

// Takes the lock of the server folder `folder`: its descriptor, or -1 when
// it is not taken, with `serverRuns` set when a server holds it (its process
// in `owner`, 0 when the system does not say). A lock that another program
// holds is waited for a while.
int TakeLock(const std::string& folder, bool& serverRuns, pid_t& owner) {
    const int descriptor = ::open((folder + "/lock").c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0) return -1;
    // A lock held longer than this is taken for a server's: Wine, asked
    // then, waits for the lock itself.
    constexpr int Attempts = 200;  // 10 ms apart
    bool byServer = true;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        struct flock range = FirstByte();
        if (::fcntl(descriptor, F_SETLK, &range) == 0) return descriptor;
        if (errno != EAGAIN && errno != EACCES) {
            // A file system without record locks: the server goes by its socket there.
            struct stat socket {};
            byServer = ::lstat((folder + "/socket").c_str(), &socket) == 0;
            break;
        }
        range = FirstByte();
        if (::fcntl(descriptor, F_GETLK, &range) != 0) break;
        if (range.l_type == F_UNLCK) continue;  // let go meanwhile
        owner = range.l_pid;
        if (IsWineServer(owner)) break;
        ::usleep(10'000);
    }
    serverRuns = byServer;
    if (!byServer) owner = 0;
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
