#include "app/MoxtrelApp.h"

#include <cstdio>

#include "platform/Services.h"
#include "ui/MoxtrelDlg.h"

namespace moxtrel {

bool CMoxtrelApp::InitInstance() {
    m_cmdInfo = CMoxtrelCommandLineInfo();
    ParseCommandLine(m_cmdInfo, m_arguments);
    // The automatic command skips the standard start-up; either way the main
    // dialog opens the same.
    if (m_cmdInfo.m_nShellCommand != CMoxtrelCommandLineInfo::AutomaticCommand) ProcessShellCommand(m_cmdInfo);

    // The environment is read once, here, and the services it names are made
    // and handed on. A drive map's lines that were skipped are told on stderr,
    // as moxtrel-cli tells them.
    const platform::Environment environment = platform::Environment::FromProcess();
    const platform::Services services = platform::MakeServices(environment);
    if (!environment.driveMapPath.empty()) {
        const platform::DriveTable drives = services.drives->ReadTable();
        for (const std::string& warning : drives.Warnings()) {
            std::fprintf(stderr, "warning: %s: %s\n", platform::DriveMapVariable, warning.c_str());
        }
    }
    ui::CMoxtrelDlg dlg(*services.drives, *services.registry);
    SetTopWindow(&dlg);
    dlg.ShowModal();
    SetTopWindow(nullptr);
    return false;
}

bool CMoxtrelApp::ProcessShellCommand(const CMoxtrelCommandLineInfo&) { return true; }

}  // namespace moxtrel
