// The moxtrel program: starts wx with the program's name alone, so that no
// argument reaches wx or the toolkit, and lets the application object parse
// the arguments itself.

#include <cstdio>
#include <string>
#include <vector>

#include <wx/init.h>

#include "app/MoxtrelApp.h"

int main(int argc, char** argv) {
    wxDISABLE_ASSERTS_IN_RELEASE_BUILD();

    auto* app = new moxtrel::CMoxtrelApp;
    app->SetArguments(std::vector<std::string>(argv + 1, argv + argc));
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
