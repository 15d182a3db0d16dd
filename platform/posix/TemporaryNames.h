#pragma once
// The names temporary files get on POSIX, and the ones an interrupting signal
// removes: while a replacement has a temporary file under a name of its own,
// SIGINT, SIGTERM or SIGHUP must not end the process and leave that file
// behind. For the platform layer only.

#include <csignal>
#include <string>

namespace moxtrel::platform::system {

// Six characters from A-Z, a-z and 0-9 drawn at random, as mkstemp puts
// after a prefix.
std::string RandomNameSuffix();

// Installs, on its first call in the process, handlers of SIGINT, SIGTERM
// and SIGHUP that remove every watched name and then end the process by the
// same signal, so that it still reads as killed by it. A signal that already
// has a handler, or is ignored, is left as it is.
void InstallInterruptCleanup();

// Watches `path` until StopWatching: the handlers above remove it. Returns
// the place it takes, or -1 when the list is full or the path too long (it
// is then not removed by a signal). Never allocates, so a handler can read
// the list at any moment.
int WatchName(const std::string& path);
// Lets go of the place WatchName returned; -1 is nothing.
void StopWatching(int place);

// Holds SIGINT, SIGTERM and SIGHUP back from the calling thread for its
// lifetime, so a temporary name and its watch come and go together.
class InterruptsHeld {
public:
    InterruptsHeld();
    ~InterruptsHeld();
    InterruptsHeld(const InterruptsHeld&) = delete;
    InterruptsHeld& operator=(const InterruptsHeld&) = delete;

private:
    sigset_t m_previous;
};

}  // namespace moxtrel::platform::system
