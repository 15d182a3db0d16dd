#pragma once
// What the GUI tests share: the one application object (a CMoxtrelApp, so
// start-up itself can be tested), driving controls the way a user does, and
// expectations for the message boxes and the summary that modal code shows.

#include <functional>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>

#include "app/MoxtrelApp.h"
#include "ui/WadInfoDlg.h"
#include "widgets/GuiSinks.h"

namespace moxtrel::test {

class TestApp : public CMoxtrelApp {
public:
    // The tests run start-up themselves.
    bool OnInit() override { return true; }
    bool ProcessShellCommand(const CMoxtrelCommandLineInfo& cmdInfo) override {
        ++shellCommandsProcessed;
        return CMoxtrelApp::ProcessShellCommand(cmdInfo);
    }
    int shellCommandsProcessed = 0;
};

TestApp& App();

// A click on control `id` of `dialog`, as the user makes it: the control
// must be shown and enabled. A radio button is selected first.
void Click(wxWindow& dialog, int id);

bool IsShown(const wxWindow& dialog, int id);
// A modal dialog not yet ended. wxMSW keeps a dialog modal until its loop
// has returned, after EndModal has hidden it; wxGTK ends it at once.
bool IsOpenModal(const wxDialog& dialog);
bool IsEnabled(const wxWindow& dialog, int id);
std::string LabelOf(const wxWindow& dialog, int id);

// A message box with an OK button alone, this caption and icon (0 for none)
// and a text that `text` matches (a plain string must be equal), answered
// with OK. `during` runs while it is up, to look at the windows.
class ExpectMessageBox : public wxExpectModalBase<widgets::MessageDialog, ExpectMessageBox> {
public:
    ExpectMessageBox(::testing::Matcher<std::string> text, std::string caption, long icon,
                     std::function<void()> during = {})
        : m_text(std::move(text)), m_caption(std::move(caption)), m_icon(icon), m_during(std::move(during)) {}

protected:
    int OnInvoked(widgets::MessageDialog* box) const override;

private:
    ::testing::Matcher<std::string> m_text;
    std::string m_caption;
    long m_icon;
    std::function<void()> m_during;
};

// A modal dialog of type Dialog, handed to `check` instead of being shown;
// what `check` returns is what ShowModal returns.
template <typename Dialog>
class ExpectDialog : public wxExpectModalBase<Dialog, ExpectDialog<Dialog>> {
public:
    explicit ExpectDialog(std::function<int(Dialog&)> check) : m_check(std::move(check)) {}

protected:
    int OnInvoked(Dialog* dialog) const override { return m_check(*dialog); }

private:
    std::function<int(Dialog&)> m_check;
};

// The WAD File Info box with its texts filled as when it opens, handed to
// `check`, then closed with OK.
ExpectDialog<CWadInfoDlg> ExpectSummary(std::function<void(CWadInfoDlg&)> check);

}  // namespace moxtrel::test
