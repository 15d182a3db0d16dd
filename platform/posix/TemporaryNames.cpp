// The list of temporary names an interrupting signal removes: a fixed number
// of fixed buffers, each with an atomic state, so the handler reads it
// without a lock or an allocation, whatever the thread it interrupts was doing.

#include "platform/posix/TemporaryNames.h"

#include <array>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <sys/random.h>
#include <unistd.h>

namespace moxtrel::platform::system {

namespace {

constexpr int InterruptSignals[] = {SIGINT, SIGTERM, SIGHUP};

// A replacement watches one name at a time, and only a few replacements run
// at once in a process.
constexpr std::size_t WatchPlaces = 16;

enum PlaceState : int { Free, Filling, Watched };

struct WatchPlace {
    std::atomic<int> state{Free};
    char path[PATH_MAX];
};

static_assert(std::atomic<int>::is_always_lock_free, "the handler reads the states without a lock");

std::array<WatchPlace, WatchPlaces> g_places;

void RemoveWatchedNamesAndEnd(int signal) {
    for (WatchPlace& place : g_places) {
        if (place.state.load(std::memory_order_acquire) == Watched) ::unlink(place.path);
    }
    // The signal is held while its handler runs: raised again with the
    // default action, it ends the process as soon as the handler returns.
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    ::sigaction(signal, &byDefault, nullptr);
    ::raise(signal);
}

sigset_t InterruptSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : InterruptSignals) sigaddset(&set, signal);
    return set;
}

bool HasDefaultAction(int signal) {
    struct sigaction current {};
    return ::sigaction(signal, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) &&
           current.sa_handler == SIG_DFL;
}

void InstallHandlers() {
    struct sigaction cleanup {};
    cleanup.sa_handler = RemoveWatchedNamesAndEnd;
    // One interrupt at a time: a second one waits until the first has ended the process.
    cleanup.sa_mask = InterruptSet();
    cleanup.sa_flags = SA_RESTART;
    for (int signal : InterruptSignals) {
        if (HasDefaultAction(signal)) ::sigaction(signal, &cleanup, nullptr);
    }
}

// Random bytes from the system; should it have none to give, the clock, the
// process and a count of calls, which still differ from one call to the next.
void FillRandom(unsigned char* bytes, std::size_t count) {
    if (::getrandom(bytes, count, GRND_NONBLOCK) == static_cast<ssize_t>(count)) return;
    static std::atomic<std::uint64_t> calls{0};
    std::uint64_t mix = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                        (static_cast<std::uint64_t>(::getpid()) << 40) ^ calls.fetch_add(1);
    for (std::size_t i = 0; i < count; ++i) {
        mix = mix * 6364136223846793005u + 1442695040888963407u;
        bytes[i] = static_cast<unsigned char>(mix >> 56);
    }
}

}  // namespace

std::string RandomNameSuffix() {
    constexpr std::string_view Characters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[6];
    FillRandom(bytes, sizeof bytes);
    std::string suffix;
    for (unsigned char byte : bytes) suffix += Characters[byte % Characters.size()];
    return suffix;
}

void InstallInterruptCleanup() {
    static const bool installed = (InstallHandlers(), true);
    (void)installed;
}

int WatchName(const std::string& path) {
    if (path.size() >= PATH_MAX) return -1;
    for (std::size_t i = 0; i < g_places.size(); ++i) {
        int expected = Free;
        if (!g_places[i].state.compare_exchange_strong(expected, Filling, std::memory_order_acquire)) continue;
        std::memcpy(g_places[i].path, path.c_str(), path.size() + 1);
        g_places[i].state.store(Watched, std::memory_order_release);
        return static_cast<int>(i);
    }
    return -1;
}

void StopWatching(int place) {
    if (place < 0 || static_cast<std::size_t>(place) >= g_places.size()) return;
    g_places[static_cast<std::size_t>(place)].state.store(Free, std::memory_order_release);
}

InterruptsHeld::InterruptsHeld() {
    const sigset_t interrupts = InterruptSet();
    ::pthread_sigmask(SIG_BLOCK, &interrupts, &m_previous);
}

InterruptsHeld::~InterruptsHeld() {
    ::pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
}

}  // namespace moxtrel::platform::system
