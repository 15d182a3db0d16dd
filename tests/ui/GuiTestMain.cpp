// Starts wx once for all GUI tests, with the test application object, and
// turns wx's assertion failures into test failures.

#include <string_view>

#include <gtest/gtest.h>
#include <wx/init.h>
#include <wx/radiobut.h>

#include "GuiTest.h"
#include "WindowManager.h"

namespace moxtrel::test {

TestApp& App() { return static_cast<TestApp&>(*wxTheApp); }

void Click(wxWindow& dialog, int id) {
    wxWindow* control = dialog.FindWindow(id);
    ASSERT_NE(control, nullptr) << "no control " << id;
    ASSERT_TRUE(control->IsShown() && control->IsEnabled()) << "control " << id << " cannot be clicked";
    if (auto* radio = wxDynamicCast(control, wxRadioButton)) {
        radio->SetValue(true);
        wxCommandEvent click(wxEVT_RADIOBUTTON, id);
        click.SetEventObject(radio);
        click.SetInt(1);
        radio->ProcessWindowEvent(click);
        return;
    }
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(control);
    control->ProcessWindowEvent(click);
}

bool IsShown(const wxWindow& dialog, int id) { return dialog.FindWindow(id)->IsShown(); }
bool IsOpenModal(const wxDialog& dialog) { return dialog.IsModal() && dialog.IsShown(); }
bool IsEnabled(const wxWindow& dialog, int id) { return dialog.FindWindow(id)->IsEnabled(); }
std::string LabelOf(const wxWindow& dialog, int id) { return dialog.FindWindow(id)->GetLabel().utf8_string(); }

int ExpectMessageBox::OnInvoked(widgets::MessageDialog* box) const {
    EXPECT_THAT(box->GetMessage().utf8_string(), m_text);
    EXPECT_EQ(box->GetCaption().utf8_string(), m_caption);
    EXPECT_EQ(box->GetMessageDialogStyle() & wxICON_MASK, m_icon) << m_text;
    EXPECT_EQ(box->GetMessageDialogStyle() & (wxYES_NO | wxCANCEL | wxHELP), 0) << "OK alone";
    if (m_during) m_during();
    return wxID_OK;
}

ExpectDialog<CWadInfoDlg> ExpectSummary(std::function<void(CWadInfoDlg&)> check) {
    return ExpectDialog<CWadInfoDlg>([check](CWadInfoDlg& summary) {
        summary.InitDialog();
        check(summary);
        return wxID_OK;
    });
}

namespace {

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str(), line) << "wx assertion failed in " << func << ": " << cond << " " << msg;
}

}  // namespace

}  // namespace moxtrel::test

int main(int argc, char** argv) {
    using namespace std::literals;
    // The steps of ctest's fixture around the window tests.
    if (argc == 3 && argv[1] == "--start-window-manager"sv) return moxtrel::test::StartSharedWindowManager(argv[2]);
    if (argc == 3 && argv[1] == "--stop-window-manager"sv) return moxtrel::test::StopSharedWindowManager(argv[2]);
    ::testing::InitGoogleTest(&argc, argv);
    // ctest lists the tests at build or test time, where there may be no display.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    wxApp::SetInstance(new moxtrel::test::TestApp);
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    if (!wxEntryStart(wxArgc, wxArgv)) {
        std::fprintf(stderr, "cannot open the display: run under xvfb-run -a\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    wxSetAssertHandler(moxtrel::test::FailOnAssert);
    // Focus, Alt+F4 and placement come from a window manager.
    const int windowManager = moxtrel::test::StartWindowManager();
    int result = RUN_ALL_TESTS();
    moxtrel::test::StopWindowManager(windowManager);
    wxEntryCleanup();
    return result;
}
