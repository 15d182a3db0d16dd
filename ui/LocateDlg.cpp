#include "ui/LocateDlg.h"

#include <wx/button.h>
#include <wx/textctrl.h>

#include "locate/GameDirectory.h"
#include "res/DialogResources.h"
#include "res/Pictures.h"
#include "ui/PathText.h"
#include "widgets/GuiSinks.h"
#include "widgets/WindowRules.h"

namespace moxtrel::locate {

namespace {

constexpr const char* FoundText = "File(s) found";
constexpr const char* OkCaption = "&Ok";
constexpr const char* CancelCaption = "&Cancel";

}  // namespace

CLocateDlg::CLocateDlg(const platform::Drives& drives, wxWindow* pParent)
    : FindingDialog(Kind::Locate), m_imageList(16, 16, true, 7), m_ctlTree(drives) {
    res::LoadDialog(*this, pParent, res::DialogLocate);
    // The resource holds the tree's place in the layout and the tab order.
    wxWindow* placeholder = FindWindow(IdTree);
    m_ctlTree.Create(this, IdTree, placeholder->GetPosition(), placeholder->GetSize());
    res::ReplacePlaceholder(*placeholder, m_ctlTree);
    Bind(wxEVT_INIT_DIALOG, &CLocateDlg::OnInitDialog, this);
    Bind(wxEVT_TREE_SEL_CHANGED, &CLocateDlg::OnSelChangedTree, this, IdTree);
    Bind(wxEVT_BUTTON, &CLocateDlg::OnOkCancel, this, IdOkCancel);
}

CLocateDlg::~CLocateDlg() = default;

void CLocateDlg::SetPrompt(const std::string& strPrompt, int nGame) {
    m_strPrompt = wxString::FromUTF8(strPrompt);
    m_nGame = nGame;
}

int CLocateDlg::FlashTickCount() { return FlashTicks(Kind::Locate); }

bool CLocateDlg::TransferDataToWindow() {
    static_cast<wxTextCtrl*>(FindWindow(IdPathText))->ChangeValue(m_strPathText);
    FindWindow(IdPrompt)->SetLabel(m_strPrompt);
    return true;
}

bool CLocateDlg::TransferDataFromWindow() {
    m_strPathText = static_cast<wxTextCtrl*>(FindWindow(IdPathText))->GetValue();
    m_strPrompt = FindWindow(IdPrompt)->GetLabel();
    return true;
}

bool CLocateDlg::UpdateData(bool bSaveAndValidate) {
    return bSaveAndValidate ? TransferDataFromWindow() : TransferDataToWindow();
}

void CLocateDlg::OnInitDialog(wxInitDialogEvent&) {
    UpdateData(false);
    // The hourglass stays while the drives are read.
    widgets::BusyWindow busy(*this);
    m_imageList.Add(res::LoadDriveAndFolderStrip(), wxColour(255, 0, 255));
    m_ctlTree.SetImageList(&m_imageList);
    FindWindow(IdOkCancel)->SetLabel(CancelCaption);
    // May select the first fixed drive, which tests it at once: the dialog
    // can open already found.
    m_ctlTree.FillDrives();
    widgets::FocusNextStep(*this, {IdOkCancel});
}

void CLocateDlg::OnSelChangedTree(wxTreeEvent& event) {
    // The tree's invisible root stands for no item: nothing to test.
    if (!event.GetItem().IsOk() || event.GetItem() == m_ctlTree.GetRootItem()) return;

    m_strGameDir = m_ctlTree.GetNotifyItemPath(event);
    // The edit shows the folder as selected, before the data directory is added.
    m_strPathText = PathToText(m_strGameDir);
    // A number that is no game gives no candidate, and nothing is found.
    const std::optional<GameKind> game = GameKindOf(m_nGame);
    m_strGameDir = game ? ComposeGameDirectory(m_strGameDir, *game) : std::string();

    wxWindow* button = FindWindow(IdOkCancel);
    if (TestGameDirectory(m_strGameDir) == CandidateResult::Found) {
        m_strPathText = FoundText;
        button->SetLabel(OkCaption);
        // Found is final: the tree stays locked for the rest of the dialog.
        m_ctlTree.Disable();
        widgets::FocusNextStep(*this, {IdOkCancel});
        StartFlashing();
        m_bFound = true;
    } else {
        button->SetLabel(CancelCaption);
        m_bFound = false;
    }
    UpdateData(false);
}

void CLocateDlg::OnOkCancel(wxCommandEvent&) {
    CloseAsFoundOrCancelled();
}

}  // namespace moxtrel::locate
