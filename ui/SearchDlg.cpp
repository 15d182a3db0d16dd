#include "ui/SearchDlg.h"

#include <wx/animate.h>
#include <wx/button.h>
#include <wx/checkbox.h>

#include "res/DialogResources.h"
#include "res/Pictures.h"
#include "ui/PathText.h"
#include "widgets/GuiSinks.h"
#include "widgets/WindowRules.h"

namespace moxtrel::locate {

namespace {

constexpr const char* FoundText = "File found";
constexpr const char* NotFoundText = "File not found";
constexpr const char* OkCaption = "&Ok";
constexpr const char* CancelCaption = "&Cancel";

bool IsChecked(const wxWindow& dialog, int id) {
    return static_cast<const wxCheckBox*>(dialog.FindWindow(id))->GetValue();
}

void SetChecked(wxWindow& dialog, int id, int value) {
    static_cast<wxCheckBox*>(dialog.FindWindow(id))->SetValue(value != 0);
}

}  // namespace

StatusLineObserver::StatusLineObserver(wxControl& statusLine, std::chrono::milliseconds interval)
    : m_statusLine(statusLine), m_interval(interval) {}

void StatusLineObserver::DirectoryEntered(std::string_view path) {
    const auto now = std::chrono::steady_clock::now();
    if (now < m_nextRepaint) return;
    m_nextRepaint = now + m_interval;
    // A path is shown as it is: an '&' in it is no mnemonic.
    m_statusLine.SetLabelText(PathToText(std::string(path)));
    m_statusLine.Refresh();
    m_statusLine.Update();
    widgets::KeepWindowsPainted(true);
}

CSearchDlg::CSearchDlg(const platform::Drives& drives, wxWindow* pParent)
    : FindingDialog(Kind::Search), m_drives(drives) {
    res::LoadDialog(*this, pParent, res::DialogSearch);
    m_ctlAnimate = wxDynamicCast(FindWindow(IdAnimate), wxAnimationCtrl);
    Bind(wxEVT_INIT_DIALOG, &CSearchDlg::OnInitDialog, this);
    Bind(wxEVT_BUTTON, &CSearchDlg::OnBeginSearch, this, IdBeginSearch);
    Bind(wxEVT_CHECKBOX, &CSearchDlg::OnDriveOption, this, IdHard);
    Bind(wxEVT_BUTTON, &CSearchDlg::OnCloseButton, this, IdOkCancel);
    Bind(wxEVT_CHECKBOX, &CSearchDlg::OnDriveOption, this, IdNetwork);
    Bind(wxEVT_CHECKBOX, &CSearchDlg::OnDriveOption, this, IdRemovable);
}

// The clip is closed with the dialog.
CSearchDlg::~CSearchDlg() {
    if (m_ctlAnimate) m_ctlAnimate->SetAnimation(wxNullAnimation);
}

void CSearchDlg::SetSearchTarget(const std::string& exeName, int game) {
    m_strExeName = exeName;
    m_nGame = game;
}

int CSearchDlg::FlashTickCount() { return FlashTicks(Kind::Search); }

bool CSearchDlg::TransferDataToWindow() {
    SetChecked(*this, IdHard, m_bHardDrives);
    SetChecked(*this, IdNetwork, m_bNetworkDrives);
    SetChecked(*this, IdRemovable, m_bRemovableDrives);
    FindWindow(IdStatus)->SetLabel(m_strStatus);
    return true;
}

bool CSearchDlg::TransferDataFromWindow() {
    m_bHardDrives = IsChecked(*this, IdHard) ? 1 : 0;
    m_bNetworkDrives = IsChecked(*this, IdNetwork) ? 1 : 0;
    m_bRemovableDrives = IsChecked(*this, IdRemovable) ? 1 : 0;
    m_strStatus = FindWindow(IdStatus)->GetLabel();
    return true;
}

bool CSearchDlg::UpdateData(bool bSaveAndValidate) {
    return bSaveAndValidate ? TransferDataFromWindow() : TransferDataToWindow();
}

void CSearchDlg::OnInitDialog(wxInitDialogEvent&) {
    // No kind ticked, an empty status line; the clip stands on its first frame.
    UpdateData(false);
    m_ctlAnimate->SetAnimation(res::LoadAnimation(res::AnimationSearch, *m_ctlAnimate));
    FindWindow(IdBeginSearch)->Disable();
    widgets::FocusNextStep(*this, {IdOkCancel});
}

void CSearchDlg::OnDriveOption(wxCommandEvent&) {
    UpdateData(true);
    FindWindow(IdBeginSearch)->Enable(m_bNetworkDrives || m_bRemovableDrives || m_bHardDrives);
}

void CSearchDlg::OnBeginSearch(wxCommandEvent&) {
    UpdateData(true);
    // A close asked for during the scan is answered after it, with the find if any.
    RunLongWork([this] { Scan(); });
}

void CSearchDlg::Scan() {
    wxControl& statusLine = *static_cast<wxControl*>(FindWindow(IdStatus));
    {
        widgets::BusyWindow busy(*this);
        m_ctlAnimate->Play();
        m_bFound = false;

        DriveKinds kinds;
        kinds.removable = m_bRemovableDrives != 0;
        kinds.hard = m_bHardDrives != 0;
        kinds.network = m_bNetworkDrives != 0;
        StatusLineObserver observer(statusLine, StatusRepaintInterval);
        const platform::DriveTable drives = m_drives.ReadTable();
        // A number that is no game is searched for nowhere, and nothing is found.
        const std::optional<GameKind> game = GameKindOf(m_nGame);
        if (game && SearchDrives(drives, m_strExeName, *game, kinds, observer, m_strGameDir) == SearchOutcome::Found) {
            ShowFound();
        } else {
            ShowNotFound();
        }
        // The result goes to the status line itself; m_strStatus keeps what
        // the last exchange read.
        statusLine.SetLabel(m_bFound ? FoundText : NotFoundText);
    }
    m_ctlAnimate->Stop();
}

void CSearchDlg::ShowFound() {
    FindWindow(IdOkCancel)->SetLabel(OkCaption);
    // Nothing more to search for: the options and Begin Search are locked.
    for (int id : {IdBeginSearch, IdHard, IdNetwork, IdRemovable}) FindWindow(id)->Disable();
    widgets::FocusNextStep(*this, {IdOkCancel});
    StartFlashing();
    m_bFound = true;
}

// The options keep their state, so the user can change them and search again.
void CSearchDlg::ShowNotFound() {
    FindWindow(IdOkCancel)->SetLabel(CancelCaption);
    m_bFound = false;
}

void CSearchDlg::OnCloseButton(wxCommandEvent&) {
    CloseAsFoundOrCancelled();
}

}  // namespace moxtrel::locate
