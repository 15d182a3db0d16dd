// The two ways to find the game directory: Manual Locate (the Locate dialog's
// directory tree) and Search (the Search dialog's drive scan). Either way a
// found directory enables Begin and retires the other two steps.

#include <wx/button.h>

#include "game/Games.h"
#include "locate/GameDirectory.h"
#include "ui/LocateDlg.h"
#include "ui/MoxtrelDlg.h"
#include "ui/SearchDlg.h"
#include "widgets/WindowRules.h"

namespace moxtrel::ui {

namespace {

// The two texts differ in their leading blank only.
constexpr const char* LocatedText = " Found pak0.pak and pak1.pak";
constexpr const char* SearchedText = "Found pak0.pak and pak1.pak";

}  // namespace

void CMoxtrelDlg::OnManualLocate(wxCommandEvent&) {
    locate::CLocateDlg dlg(m_drives, nullptr);
    const std::optional<GameKind> game = GameKindOf(m_nGame);
    if (!game) return;
    dlg.SetPrompt(std::string(GameOf(*game).locatePrompt), m_nGame);
    if (dlg.ShowModal() != wxID_OK) return;

    m_strGameDir = dlg.GetPath();
    m_btnBegin->Enable();
    m_btnLocate->Disable();
    m_btnSearch->Disable();
    FindWindow(IdPointerLocate)->Hide();
    FindWindow(IdPointerSearch)->Hide();
    FindWindow(IdPointerBegin)->Show();
    widgets::FocusNextStep(*this, {IdBegin});
    m_strStatus = LocatedText;
    UpdateData(false);
}

void CMoxtrelDlg::OnSearch(wxCommandEvent&) {
    locate::CSearchDlg dlg(m_drives, nullptr);
    const std::optional<GameKind> game = GameKindOf(m_nGame);
    if (!game) return;
    dlg.SetSearchTarget(locate::ExecutableFor(*game), m_nGame);
    if (dlg.ShowModal() == wxID_OK && !dlg.GetPath().empty()) {
        m_strGameDir = dlg.GetPath();
        m_btnBegin->Enable();
        m_btnLocate->Disable();
        m_btnSearch->Disable();
        FindWindow(IdPointerLocate)->Hide();
        FindWindow(IdPointerSearch)->Hide();
        FindWindow(IdPointerBegin)->Show();
        widgets::FocusNextStep(*this, {IdBegin});
        m_strStatus = SearchedText;
    }
    UpdateData(false);
}

}  // namespace moxtrel::ui
