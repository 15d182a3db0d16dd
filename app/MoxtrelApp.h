#pragma once
// The application object: parses the command line, then runs the main dialog
// modally; when the dialog closes, the program ends. wx never sees the
// command line (main.cpp hands it the program's name alone), so it neither
// rejects nor acts on any argument.

#include <string>
#include <vector>

#include <wx/app.h>

#include "app/MoxtrelCommandLineInfo.h"

namespace moxtrel {

class CMoxtrelApp : public wxApp {
public:
    // The arguments after the program's name.
    void SetArguments(std::vector<std::string> arguments) { m_arguments = std::move(arguments); }

    // Start-up runs the whole program and returns false, so no event loop of
    // wx's own follows it.
    bool OnInit() override { return InitInstance(); }
    bool InitInstance();

    // The standard start-up command (new document, open, print...), which has
    // nothing to act on here. Returns whether it succeeded.
    virtual bool ProcessShellCommand(const CMoxtrelCommandLineInfo& cmdInfo);

    CMoxtrelCommandLineInfo m_cmdInfo;

private:
    std::vector<std::string> m_arguments;
};

}  // namespace moxtrel
