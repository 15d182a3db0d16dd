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
#include "platform/Drives.h"
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

class CSearchDlg : public FindingDialog {
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

    // Scans `drives`, which must outlive the dialog.
    explicit CSearchDlg(const platform::Drives& drives, wxWindow* pParent = nullptr);
    ~CSearchDlg() override;

    // The executable's name in lower case and the game kind (0 Quake, 1 Hexen
    // II). Called once, before ShowModal.
    void SetSearchTarget(const std::string& exeName, int game);
    // The game directory the last scan composed; after wxID_OK it holds both
    // archives and ends with '/'. A scan that found nothing complete leaves
    // its incomplete candidate, or empties it (see SearchOutcome).
    std::string GetPath() const { return m_strGameDir; }

    // The flash count of the Search dialog over the whole process.
    static int FlashTickCount();

private:
    bool IsFound() const override { return m_bFound; }
    bool UpdateData(bool bSaveAndValidate = true);
    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;

    void OnInitDialog(wxInitDialogEvent& event);
    void OnDriveOption(wxCommandEvent& event);
    void OnBeginSearch(wxCommandEvent& event);
    // Scans the drives of the ticked kinds and shows what it found.
    void Scan();
    void OnCloseButton(wxCommandEvent& event);

    std::string m_strGameDir;
    // The last scan found a complete game directory: the close button accepts.
    bool m_bFound = false;
    int m_nGame = -1;
    const platform::Drives& m_drives;
    std::string m_strExeName;
    wxAnimationCtrl* m_ctlAnimate = nullptr;
    int m_bHardDrives = 0;
    int m_bNetworkDrives = 0;
    int m_bRemovableDrives = 0;
    wxString m_strStatus;

    void ShowFound();
    void ShowNotFound();
};

}  // namespace moxtrel::locate
