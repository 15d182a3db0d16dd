#pragma once
// The Search dialog: the user ticks which kinds of drive to search and
// presses "&Begin Search"; the drives are scanned for the game's executable,
// whose data sub-directory must hold both archives. The scan runs to its end
// inside the button's handler, on the user-interface thread; only the clip
// and the status line (the directory being entered) keep moving meanwhile,
// and user input waits until the scan is over.

#include <chrono>
#include <string>

#include "locate/DriveScan.h"
#include "platform/Environment.h"
#include "ui/FindingDialog.h"

class wxAnimationCtrl;
class wxControl;

namespace moxtrel::locate {

// Shows the directory being entered on a status line, repainting at most
// once per `interval` so that painting never slows the scan; every repaint
// also lets the windows paint and the clip move.
class StatusLineObserver : public DirectoryObserver {
public:
    StatusLineObserver(wxControl& statusLine, std::chrono::milliseconds interval);
    void DirectoryEntered(std::string_view path) override;

private:
    wxControl& m_statusLine;
    std::chrono::steady_clock::duration m_interval;
    std::chrono::steady_clock::time_point m_nextRepaint{};
};

class CSearchDlg : public CFindingDialog {
public:
    // Control IDs of the Search resource.
    enum : int {
        IdStatus = 1021,
        IdBeginSearch = 1026,
        IdAnimate = 1027,
        IdRemovable = 1029,
        IdHard = 1030,
        IdNetwork = 1031,
        IdOkCancel = 1032,
    };
    // The status line is repainted at most this often during a scan.
    static constexpr std::chrono::milliseconds StatusRepaintInterval{40};

    // Scans the drives `environment` names.
    explicit CSearchDlg(const platform::Environment& environment, wxWindow* pParent = nullptr);
    ~CSearchDlg() override;

    // The executable's name in lower case, the caller's game directory (which
    // receives the result, also when nothing complete is found) and the game
    // kind. Called once, before ShowModal.
    void SetSearchTarget(const std::string& exeName, std::string* pResult, int game);

    // The flash count of the Search dialog over the whole process.
    static int FlashTickCount();

private:
    bool UpdateData(bool bSaveAndValidate = true);
    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;

    void OnInitDialog(wxInitDialogEvent& event);
    void OnDriveOption(wxCommandEvent& event);
    void OnBeginSearch(wxCommandEvent& event);
    void OnCloseButton(wxCommandEvent& event);

    std::string* m_pGameDir = nullptr;
    int m_nGame = -1;
    platform::Environment m_environment;
    std::string m_strExeName;
    wxAnimationCtrl* m_ctlAnimate = nullptr;
    int m_bHardDrives = 0;
    int m_bNetworkDrives = 0;
    int m_bRemovableDrives = 0;
    wxString m_strStatus;

    void ShowFound();
    void ShowNotFound();

    std::string m_unusedResult;  // the result's place when no caller gave one
};

}  // namespace moxtrel::locate
