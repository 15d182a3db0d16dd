#include "ui/MoxtrelDlg.h"

#include <memory>

#include <wx/animate.h>
#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/menu.h>
#include <wx/radiobut.h>

#include "game/Games.h"
#include "res/DialogResources.h"
#include "res/Pictures.h"
#include "res/StringTable.h"
#include "ui/AboutDlg.h"
#include "widgets/WindowRules.h"

namespace moxtrel::ui {

namespace {

constexpr const char* WelcomeText = "Welcome to Moxtrel2\nPick your game to start.";
constexpr const char* GameChosenText = "Please choose either manual search or auto search.";

template <typename Control>
Control* FindControl(const wxWindow& dialog, int id) {
    return wxDynamicCast(dialog.FindWindow(id), Control);
}

}  // namespace

CMoxtrelDlg::CMoxtrelDlg(const platform::Drives& drives, platform::Registry& registry, wxWindow* pParent)
    : m_drives(drives), m_registry(registry), m_hIcon(res::ProgramIcons()) {
    res::LoadDialog(*this, pParent, res::DialogMain);
    m_btnSearch = FindControl<wxButton>(*this, IdSearch);
    m_btnLocate = FindControl<wxButton>(*this, IdLocate);
    m_btnBegin = FindControl<wxButton>(*this, IdBegin);
    m_ctlAnimate = FindControl<wxAnimationCtrl>(*this, IdAnimate);
    m_ctlProgress = FindControl<wxGauge>(*this, IdProgress);

    Bind(wxEVT_INIT_DIALOG, &CMoxtrelDlg::OnInitDialog, this);
    Bind(wxEVT_BUTTON, &CMoxtrelDlg::OnExit, this, IdExit);
    Bind(wxEVT_BUTTON, &CMoxtrelDlg::OnBegin, this, IdBegin);
    Bind(wxEVT_BUTTON, &CMoxtrelDlg::OnManualLocate, this, IdLocate);
    Bind(wxEVT_BUTTON, &CMoxtrelDlg::OnSearch, this, IdSearch);
    Bind(wxEVT_RADIOBUTTON, &CMoxtrelDlg::OnSelectGame, this, IdQuake);
    Bind(wxEVT_RADIOBUTTON, &CMoxtrelDlg::OnSelectGame, this, IdHexen2);
    Bind(wxEVT_CONTEXT_MENU, &CMoxtrelDlg::OnWindowMenu, this);
    Bind(wxEVT_MENU, &CMoxtrelDlg::OnWindowMenuCommand, this, SysCommand::About);
    Bind(wxEVT_MENU, &CMoxtrelDlg::OnWindowMenuCommand, this, IdMenuClose);
    widgets::KeepKeyboardAlive(*this, {IdBegin, IdExit});
    Centre();
}

CMoxtrelDlg::~CMoxtrelDlg() = default;

std::vector<wxRadioButton*> CMoxtrelDlg::GameButtons() const {
    return res::RadioGroup(*this, IdQuake);
}

bool CMoxtrelDlg::TransferDataToWindow() {
    FindWindow(IdStatus)->SetLabel(m_strStatus);
    res::SetRadioIndex(GameButtons(), m_nGame);
    return true;
}

bool CMoxtrelDlg::TransferDataFromWindow() {
    m_strStatus = FindWindow(IdStatus)->GetLabel();
    m_nGame = res::GetRadioIndex(GameButtons());
    return true;
}

bool CMoxtrelDlg::UpdateData(bool bSaveAndValidate) {
    return bSaveAndValidate ? TransferDataFromWindow() : TransferDataToWindow();
}

void CMoxtrelDlg::OnInitDialog(wxInitDialogEvent&) {
    // The status text starts empty and no game is selected.
    UpdateData(false);
    SetIcons(m_hIcon);
    SetToolTips();
    SetStepButtonImages();

    // The clip is opened once, here, and stays hidden until a run plays it.
    m_ctlAnimate->Hide();
    m_ctlAnimate->SetAnimation(res::LoadAnimation(res::AnimationExtraction, *m_ctlAnimate));

    for (int id : {IdBegin, IdLocate, IdSearch}) FindWindow(id)->Disable();
    for (int id : {IdPointerLocate, IdPointerSearch, IdPointerBegin}) FindWindow(id)->Hide();

    m_strStatus = WelcomeText;
    UpdateData(false);
}

// A control whose ID numbers a string of the string table shows that string
// as its tool tip; the others show none.
void CMoxtrelDlg::SetToolTips() {
    for (wxWindow* child : GetChildren()) {
        std::string tip = child->GetId() > 0 ? res::LoadResourceString(child->GetId()) : std::string();
        if (!tip.empty()) child->SetToolTip(wxString::FromUTF8(tip));
    }
}

void CMoxtrelDlg::SetStepButtonImages() {
    m_btnLocate->SetBitmap(wxBitmap(res::LoadIconImage(res::IconLocate)));
    m_btnSearch->SetBitmap(wxBitmap(res::LoadIconImage(res::IconSearch)));
    m_btnBegin->SetBitmap(wxBitmap(res::LoadIconImage(res::IconBegin)));
}

void CMoxtrelDlg::OnSelectGame(wxCommandEvent&) {
    UpdateData(true);
    if (!GameKindOf(m_nGame)) return;
    m_btnLocate->Enable();
    m_btnSearch->Enable();
    m_btnBegin->Disable();
    // The pointer at Begin keeps whatever state it had.
    FindWindow(IdPointerLocate)->Show();
    FindWindow(IdPointerSearch)->Show();
    m_strStatus = GameChosenText;
    UpdateData(false);
}

wxMenu* CMoxtrelDlg::CreateWindowMenu() const {
    auto menu = std::make_unique<wxMenu>();
    menu->Append(IdMenuClose, "&Close");
    std::string about = res::LoadResourceString(res::StringAboutItem);
    if (!about.empty()) {
        menu->AppendSeparator();
        menu->Append(SysCommand::About, wxString::FromUTF8(about));
    }
    return menu.release();
}

void CMoxtrelDlg::OnWindowMenu(wxContextMenuEvent& event) {
    std::unique_ptr<wxMenu> menu(CreateWindowMenu());
    wxPoint where = event.GetPosition() == wxDefaultPosition ? wxDefaultPosition : ScreenToClient(event.GetPosition());
    PopupMenu(menu.get(), where);
}

void CMoxtrelDlg::OnWindowMenuCommand(wxCommandEvent& event) {
    OnSysCommand(event.GetId() == IdMenuClose ? SysCommand::Close : static_cast<unsigned>(event.GetId()), 0);
}

void CMoxtrelDlg::OnSysCommand(unsigned nID, long) {
    if ((nID & 0xFFF0) == SysCommand::About) {
        CAboutDlg dlgAbout;
        dlgAbout.ShowModal();
        return;
    }
    if ((nID & 0xFFF0) == SysCommand::Close) Close();
}

// Exit saves the data and ends the dialog with OK; Escape and Close end it
// with Cancel.
void CMoxtrelDlg::OnExit(wxCommandEvent&) { OnOK(); }

}  // namespace moxtrel::ui
