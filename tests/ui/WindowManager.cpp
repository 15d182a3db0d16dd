#include "WindowManager.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
// Last: Xlib defines names such as None and Status as macros.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

extern char** environ;

namespace moxtrel::test {

namespace {

// The window named by the _NET_SUPPORTING_WM_CHECK property of `window`, or 0.
Window CheckWindowOf(Display* display, Window window) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False), 0, 1, False,
                       XA_WINDOW, &type, &format, &count, &after, &data);
    Window named = 0;
    if (data && count == 1 && format == 32) named = *reinterpret_cast<const unsigned long*>(data);
    if (data) XFree(data);
    return named;
}

int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// A window manager names a window of its own on the root, and that window
// names itself. The root keeps the name after the window manager has gone,
// while any client holds the display; the window does not.
bool WindowManagerRunning(Display* display) {
    const Window check = CheckWindowOf(display, DefaultRootWindow(display));
    if (check == 0) return false;
    XSync(display, False);
    const auto previous = XSetErrorHandler(IgnoreXError);  // the window may be gone
    const Window named = CheckWindowOf(display, check);
    XSync(display, False);
    XSetErrorHandler(previous);
    return named == check;
}

// A connection of its own: the fixture's steps run without wx. It stays
// open while openbox starts, since an X server that loses its last client
// resets, and openbox must not meet a reset.
class Connection {
public:
    Connection() : m_display(XOpenDisplay(nullptr)) {}
    ~Connection() {
        if (m_display) XCloseDisplay(m_display);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool IsOpen() const { return m_display != nullptr; }
    bool WindowManagerRunning() const { return m_display && moxtrel::test::WindowManagerRunning(m_display); }

private:
    Display* m_display;
};

bool WaitUntil(const std::function<bool()>& done) {
    for (int tries = 0; tries < 500; ++tries) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// openbox keeps none of the test program's streams: when a test program
// dies, ctest still sees its output end.
pid_t SpawnOpenbox() {
    char program[] = "openbox";
    char* argv[] = {program, nullptr};
    posix_spawn_file_actions_t streams;
    posix_spawn_file_actions_init(&streams);
    for (int stream : {0, 1, 2}) posix_spawn_file_actions_addopen(&streams, stream, "/dev/null", O_RDWR, 0);
    pid_t process = 0;
    const int failed = posix_spawnp(&process, program, &streams, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&streams);
    return failed ? 0 : process;
}

}  // namespace

int StartWindowManager() {
    const Connection display;
    if (!display.IsOpen() || display.WindowManagerRunning()) return 0;
    const pid_t process = SpawnOpenbox();
    if (process != 0) WaitUntil([&] { return display.WindowManagerRunning(); });
    return process;
}

void StopWindowManager(int process) {
    if (process == 0) return;
    kill(process, SIGTERM);
    waitpid(process, nullptr, 0);
}

int StartSharedWindowManager(const char* processFile) {
    const Connection display;
    if (!display.IsOpen()) {
        std::fprintf(stderr, "cannot open the display: run under xvfb-run -a\n");
        return 1;
    }
    const int process = StartWindowManager();
    if (!display.WindowManagerRunning()) {
        std::fprintf(stderr, "no window manager runs, and openbox could not be started\n");
        return 1;
    }
    std::ofstream(processFile) << process << '\n';
    return 0;
}

// The process is no child of this one: it is gone for the tests once it
// has left the display. A file left by an interrupted run may name a
// process number in use by another program by now, which is left alone.
int StopSharedWindowManager(const char* processFile) {
    int process = 0;
    std::ifstream(processFile) >> process;
    std::remove(processFile);
    std::string name;
    if (process > 0) std::ifstream("/proc/" + std::to_string(process) + "/comm") >> name;
    if (name != "openbox") return 0;
    const Connection display;
    kill(process, SIGTERM);
    return WaitUntil([&] { return !display.WindowManagerRunning(); }) ? 0 : 1;
}

}  // namespace moxtrel::test
