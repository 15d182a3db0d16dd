// The moxtrel program: starts wx with the program's name alone, so that no
// argument reaches wx or the toolkit, and lets the application object parse
// the arguments itself.

#include <cstdio>
#include <string>
#include <vector>

#include <glib.h>
#include <wx/init.h>

#include "app/MoxtrelApp.h"

namespace {

// The desktop finds the program's menu entry and icon by its application ID:
// the toolkit names the windows after the program (Wayland's app id, X's
// WM_CLASS), so both must be the ID before the toolkit starts.
void TakeApplicationId(wxApp& app) {
    g_set_prgname(MOXTREL_APP_ID);
    app.SetAppName(MOXTREL_APP_ID);
    app.SetClassName(MOXTREL_APP_ID);
    // wx gives each window the display name as its class.
    app.SetAppDisplayName(MOXTREL_APP_ID);
}

}  // namespace

int main(int argc, char** argv) {
    wxDISABLE_ASSERTS_IN_RELEASE_BUILD();

    std::vector<std::string> arguments(argv + 1, argv + argc);
    // --help and --version answer without a display.
    moxtrel::CMoxtrelCommandLineInfo request;
    moxtrel::ParseCommandLine(request, arguments);
    if (request.m_showHelp) {
        std::fputs(moxtrel::ProgramUsage(), stdout);
        return 0;
    }
    if (request.m_showVersion) {
        std::puts("moxtrel " MOXTREL_VERSION);
        return 0;
    }

    auto* app = new moxtrel::CMoxtrelApp;
    app->SetArguments(std::move(arguments));
    TakeApplicationId(*app);
    wxApp::SetInstance(app);

    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    if (!wxEntryStart(wxArgc, wxArgv)) {
        std::fprintf(stderr, "moxtrel: cannot start the window system (is DISPLAY set?)\n");
        return 1;
    }
    // Start-up runs the main dialog to its end and always reports false:
    // there is no event loop after it.
    wxTheApp->CallOnInit();
    wxEntryCleanup();
    return 0;
}
