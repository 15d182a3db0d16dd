#pragma once
// The main dialog: the program's only main window. It guides the user
// through choosing a game, finding its game directory (Manual Locate or
// Search) and Begin, the extraction run; a status text, an animation and a
// progress bar report what happens. A window menu (right-click or the Menu
// key) carries the About item.

#include <string>
#include <vector>

#include <wx/iconbndl.h>

#include "platform/Drives.h"
#include "platform/Registry.h"
#include "widgets/ModalDialog.h"

class wxAnimationCtrl;
class wxButton;
class wxContextMenuEvent;
class wxGauge;
class wxMenu;
class wxRadioButton;

namespace moxtrel::ui {

namespace SysCommand {
inline constexpr unsigned About = 0x0010;  // the window menu's About item
inline constexpr unsigned Close = 0xF060;
}  // namespace SysCommand

class CMoxtrelDlg : public widgets::ModalDialog {
public:
    // Control IDs of the MainDialog resource.
    enum : int {
        IdProgress = 1000,
        IdLocate = 1002,
        IdExit = 1004,
        IdAnimate = 1005,
        IdStatus = 1006,
        IdBegin = 1007,
        IdSearch = 1026,
        IdQuake = 1033,
        IdHexen2 = 1034,
        IdPointerLocate = 1035,
        IdPointerSearch = 1036,
        IdPointerBegin = 1037,
        // The window menu's Close item (menu IDs must be small numbers).
        IdMenuClose = 0x0F06,
    };

    // Finds the game on `drives` and registers its package in `registry`,
    // both made by the program at its start; they must outlive the dialog.
    CMoxtrelDlg(const platform::Drives& drives, platform::Registry& registry, wxWindow* pParent = nullptr);
    ~CMoxtrelDlg() override;

    // The game directory Begin extracts from, ending with '/': set when the
    // user accepts what Manual Locate or Search found; empty until then.
    const std::string& GameDirectory() const { return m_strGameDir; }

    // The window menu as it would pop up: its last item is the About item.
    wxMenu* CreateWindowMenu() const;

private:
    // Data exchange: true saves the controls into the members, false loads
    // the members into the controls.
    bool UpdateData(bool bSaveAndValidate = true);
    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;

    void OnSysCommand(unsigned nID, long lParam);
    void OnExit(wxCommandEvent& event);
    void OnBegin(wxCommandEvent& event);
    void OnManualLocate(wxCommandEvent& event);  // ui/GameDirectorySelection.cpp
    void OnSearch(wxCommandEvent& event);        // ui/GameDirectorySelection.cpp
    void OnSelectGame(wxCommandEvent& event);

    void OnInitDialog(wxInitDialogEvent& event);
    void OnWindowMenu(wxContextMenuEvent& event);
    void OnWindowMenuCommand(wxCommandEvent& event);

    // The services Locate, Search and Begin work with.
    const platform::Drives& m_drives;
    platform::Registry& m_registry;

    // The steps of the extraction run that touch the window
    // (ui/BeginExtraction.cpp).
    void RunBegin();
    void StartRunAnimation();
    void FinishCompletedRun();
    void RestoreAfterAbandonedRun();

    void SetStepButtonImages();
    void SetToolTips();
    std::vector<wxRadioButton*> GameButtons() const;

    // Written when Manual Locate or Search finds a game directory, read by Begin.
    std::string m_strGameDir;
    wxButton* m_btnSearch = nullptr;
    wxButton* m_btnLocate = nullptr;
    wxButton* m_btnBegin = nullptr;
    wxAnimationCtrl* m_ctlAnimate = nullptr;
    wxGauge* m_ctlProgress = nullptr;
    // Exchanged with the status text 1006.
    wxString m_strStatus;
    // Exchanged with the radio group at 1033: -1 no game, 0 Quake, 1 Hexen II.
    int m_nGame = -1;
    wxIconBundle m_hIcon;
};

}  // namespace moxtrel::ui
