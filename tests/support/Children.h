#pragma once
// Children that run at once: processes on POSIX, and threads on Windows,
// which has no fork. A child that opens its own Registry has its own handles
// on the store and its lock, so children contend as processes would.

#include <functional>
#include <string>

#ifdef _WIN32
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#else
#include <cerrno>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace moxtrel::test {

#ifdef _WIN32

// A child: its thread and what its body returned.
struct ChildThread {
    int exitCode = -1;
    std::thread thread;
};
using Child = std::shared_ptr<ChildThread>;

// Runs `body` in a thread of its own; its result becomes the exit code.
inline Child Spawn(const std::function<int()>& body) {
    auto child = std::make_shared<ChildThread>();
    child->thread = std::thread([child = child.get(), body] { child->exitCode = body(); });
    return child;
}

inline int ExitCodeOf(Child child) {
    child->thread.join();
    return child->exitCode;
}

// Children wait on it until the parent lets them all go at once.
class StartingGate {
public:
    void Wait() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_opened.wait(lock, [this] { return m_open; });
    }
    void Open(int /*waiting*/) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_open = true;
        }
        m_opened.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_opened;
    bool m_open = false;
};

#else

using Child = pid_t;

// Runs `body` in a child process; its result becomes the exit code.
inline Child Spawn(const std::function<int()>& body) {
    pid_t child = ::fork();
    if (child == 0) ::_exit(body());
    return child;
}

inline int ExitCodeOf(Child child) {
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// Children wait on it until the parent lets them all go at once: one byte
// each, so it works whoever else holds the pipe open.
class StartingGate {
public:
    StartingGate() {
        if (::pipe(m_ends) != 0) m_ends[0] = m_ends[1] = -1;
    }
    ~StartingGate() {
        ::close(m_ends[0]);
        ::close(m_ends[1]);
    }
    void Wait() const {
        char go;
        while (::read(m_ends[0], &go, 1) < 0 && errno == EINTR) {
        }
    }
    void Open(int waiting) {
        std::string go(static_cast<std::size_t>(waiting), 'g');
        if (::write(m_ends[1], go.data(), go.size()) != static_cast<ssize_t>(go.size())) std::abort();
    }

private:
    int m_ends[2];
};

#endif

}  // namespace moxtrel::test
