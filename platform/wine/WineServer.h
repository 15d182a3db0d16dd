#pragma once
// Whether a wineserver runs for a prefix. A running server holds the
// prefix's registry in memory and writes it over user.reg when it saves, so
// a change made to the file under it is lost: while one runs, the registry is
// read and written through Wine itself.
//
// A server holds a lock (a POSIX record lock on the file "lock" of its server
// folder) for as long as it runs, and a server that starts waits for that
// lock. The server folder is named after the prefix's device and inode, in
// /tmp/.wine-UID (Wine's own builds), or in Debian's builds in
// /run/user/UID/wine or in the temporary folder named by the prefix's
// "wineserver" file. Taking that lock finds a running server without asking
// it anything, and holding it keeps a server from starting while user.reg is
// edited.

#include <sys/types.h>

#include <string>
#include <vector>

namespace moxtrel::platform::wine {

class WineServerLock {
public:
    // Looks for a wineserver of `prefix` in each place one keeps its lock;
    // `temporaryFolder` is $TMPDIR (empty when unset). When none runs, the
    // lock of every server folder there is is held until this goes. A lock
    // that another program (such as a second run of this one) holds is
    // waited for up to two seconds.
    static WineServerLock Take(const std::string& prefix, const std::string& temporaryFolder);

    WineServerLock(WineServerLock&& other) noexcept;
    WineServerLock& operator=(WineServerLock&& other) noexcept;
    WineServerLock(const WineServerLock&) = delete;
    WineServerLock& operator=(const WineServerLock&) = delete;
    ~WineServerLock();

    bool ServerRuns() const { return m_serverRuns; }
    // The running server's process id; 0 when none runs or the system does not say.
    pid_t ServerProcess() const { return m_serverProcess; }

private:
    WineServerLock() = default;
    void Release() noexcept;

    std::vector<int> m_held;  // descriptors of the lock files held
    bool m_serverRuns = false;
    pid_t m_serverProcess = 0;
};

// The folders a wineserver of `prefix` may use, whether they exist or not.
std::vector<std::string> WineServerFolders(const std::string& prefix, const std::string& temporaryFolder);

}  // namespace moxtrel::platform::wine
