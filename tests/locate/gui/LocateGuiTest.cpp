#include "locate/gui/LocateGuiTest.h"

#include <chrono>

#include <wx/checkbox.h>
#include <wx/evtloop.h>

#include "ui/LocateDlg.h"

namespace moxtrel::test {

int RunModal(wxDialog& dialog, const std::function<void()>& inside) {
    dialog.CallAfter([&dialog, inside] {
        inside();
        if (IsOpenModal(dialog)) {
            ADD_FAILURE() << "the dialog was left open";
            dialog.EndModal(-1);
        }
    });
    return dialog.ShowModal();
}

bool WaitUntil(const std::function<bool()>& done, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) loop->YieldFor(wxEVT_CATEGORY_ALL);
        wxMilliSleep(5);
    }
    return true;
}

void PressEscape(wxWindow& dialog) {
    wxKeyEvent key(wxEVT_CHAR_HOOK);
    key.m_keyCode = WXK_ESCAPE;
    key.SetEventObject(&dialog);
    dialog.ProcessWindowEvent(key);
}

void Tick(wxWindow& dialog, int id, bool checked) {
    auto* box = wxDynamicCast(dialog.FindWindow(id), wxCheckBox);
    ASSERT_NE(box, nullptr) << "no check box " << id;
    ASSERT_TRUE(box->IsEnabled()) << "check box " << id << " is disabled";
    box->SetValue(checked);
    wxCommandEvent click(wxEVT_CHECKBOX, id);
    click.SetEventObject(box);
    click.SetInt(checked ? 1 : 0);
    box->ProcessWindowEvent(click);
}

locate::CDirTreeCtrl& TreeOf(const wxDialog& locateDialog) {
    return *wxDynamicCast(locateDialog.FindWindow(locate::CLocateDlg::IdTree), locate::CDirTreeCtrl);
}

void LocateOnFirstFixedDrive(ui::CMoxtrelDlg& dlg) {
    wxTEST_DIALOG(Click(dlg, ui::CMoxtrelDlg::IdLocate),
                  ExpectDialog<locate::CLocateDlg>([](locate::CLocateDlg& locate) {
                      locate.Show();  // opens it, as ShowModal would
                      EXPECT_EQ(LabelOf(locate, locate::CLocateDlg::IdOkCancel), "&Ok") << "not found";
                      return wxID_OK;
                  }));
}

FlashRecorder::FlashRecorder()
    : m_previous(widgets::SetFlashHandler([this](wxTopLevelWindow&, bool invert) { flashes.push_back(invert); })) {}

FlashRecorder::~FlashRecorder() { widgets::SetFlashHandler(m_previous); }

}  // namespace moxtrel::test
