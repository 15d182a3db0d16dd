#include "app/MoxtrelApp.h"

#include "ui/MoxtrelDlg.h"

namespace moxtrel {

bool CMoxtrelApp::InitInstance() {
    m_cmdInfo = CMoxtrelCommandLineInfo();
    ParseCommandLine(m_cmdInfo, m_arguments);
    // The automatic command skips the standard start-up; either way the main
    // dialog opens the same.
    if (m_cmdInfo.m_nShellCommand != CMoxtrelCommandLineInfo::AutomaticCommand) ProcessShellCommand(m_cmdInfo);

    // The environment is read once, here, and handed on.
    ui::CMoxtrelDlg dlg(platform::Environment::FromProcess());
    SetTopWindow(&dlg);
    dlg.ShowModal();
    SetTopWindow(nullptr);
    return false;
}

bool CMoxtrelApp::ProcessShellCommand(const CMoxtrelCommandLineInfo&) { return true; }

}  // namespace moxtrel
