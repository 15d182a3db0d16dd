#pragma once
// The window manager the window tests need for focus, Alt+F4 and placement:
// openbox, started inside the X server when none runs there. Under ctest a
// fixture starts one for all the window tests, each a process of its own,
// through the test program's options; a test program run by hand starts and
// stops its own.

namespace moxtrel::test {

// Starts openbox on the display when no window manager runs there and waits
// until it manages the screen; returns its process, or 0 when one ran already
// or none could be started.
int StartWindowManager();
// Ends the window manager StartWindowManager started (none for 0) and waits
// until it has left the display, so that a test program after it finds none.
void StopWindowManager(int process);

// The fixture's two steps, the test program's options --start-window-manager
// FILE and --stop-window-manager FILE: FILE keeps the process started, if any,
// from one to the other. Both return the exit status.
int StartSharedWindowManager(const char* processFile);
int StopSharedWindowManager(const char* processFile);

}  // namespace moxtrel::test
