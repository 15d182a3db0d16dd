#include "WindowManager.h"

// Windows is its own window manager. Under Wine the window manager belongs to
// the X server Wine draws on, outside the Windows program: the script that
// runs the tests there (tools/check-windows.sh) starts it. Nothing is started
// here.

namespace moxtrel::test {

int StartWindowManager() { return 0; }
void StopWindowManager(int) {}
int StartSharedWindowManager(const char*) { return 0; }
int StopSharedWindowManager(const char*) { return 0; }

}  // namespace moxtrel::test
