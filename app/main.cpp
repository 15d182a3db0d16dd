// The moxtrel program: starts wx with the program's name alone, so that no
// argument reaches wx or the toolkit, and lets the application object parse
// the arguments itself.

#include <cstdio>
#include <string>
#include <vector>

#include <wx/init.h>

#include "app/MoxtrelApp.h"
#include "app/SystemStartUp.h"
#include "platform/Console.h"

namespace {

// wx names the program and its windows after the application ID, as the
// system (PrepareSystem) does.
void TakeApplicationId(wxApp& app) {
    app.SetAppName(MOXTREL_APP_ID);
    app.SetClassName(MOXTREL_APP_ID);
    // wx gives each window the display name as its class.
    app.SetAppDisplayName(MOXTREL_APP_ID);
}

}  // namespace

int main(int argc, char** argv) {
    wxDISABLE_ASSERTS_IN_RELEASE_BUILD();
    moxtrel::PrepareSystem(MOXTREL_APP_ID);

    // On Windows argv is in the ANSI code page; the wide command line keeps
    // every letter.
    std::vector<std::string> arguments = moxtrel::platform::CommandLineArguments(argc, argv);
    if (!arguments.empty()) arguments.erase(arguments.begin());
    // --help and --version answer without a display.
    moxtrel::CMoxtrelCommandLineInfo request;
    moxtrel::ParseCommandLine(request, arguments);
    if (request.m_showHelp) {
        moxtrel::ShowProgramText(moxtrel::ProgramUsage());
        return 0;
    }
    if (request.m_showVersion) {
        moxtrel::ShowProgramText("moxtrel " MOXTREL_VERSION "\n");
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
