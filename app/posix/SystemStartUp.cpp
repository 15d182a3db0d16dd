#include "app/SystemStartUp.h"

#include <cstdio>

#include <glib.h>

namespace moxtrel {

// The desktop finds the program's menu entry and icon by its application ID:
// the toolkit names the windows after GLib's program name (Wayland's app id,
// X's WM_CLASS), so it must be the ID before the toolkit starts.
void PrepareSystem(const char* applicationId) { g_set_prgname(applicationId); }

void ShowProgramText(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

}  // namespace moxtrel
