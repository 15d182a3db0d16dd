// Start-up: the command line, the standard start-up command, the main dialog
// run modally, and the ways it ends. Also the program itself, which must not
// let wx act on its arguments.

#include <chrono>
#include <cstdio>
#include <csignal>
#include <thread>
#ifndef _WIN32
#include <spawn.h>
#include <sys/wait.h>
#endif

#include <wx/button.h>
#include <wx/radiobut.h>

#include "GuiTest.h"
#include "support/FakeDrives.h"
#include "support/FakeRegistry.h"
#include "ui/MoxtrelDlg.h"

#ifndef _WIN32
extern char** environ;
#endif

namespace moxtrel::test {
namespace {

using D = ui::CMoxtrelDlg;
using Info = CMoxtrelCommandLineInfo;

struct StartUpCase {
    const char* name;
    std::vector<std::string> arguments;
    int command;
    int shellCommandsProcessed;
};

// ctest and failures name a case by its name.
void PrintTo(const StartUpCase& c, std::ostream* os) { *os << c.name; }

class StartUp : public ::testing::TestWithParam<StartUpCase> {};

TEST_P(StartUp, RunsTheMainDialogInItsStartStateWhateverTheArguments) {
    TestApp& app = App();
    app.SetArguments(GetParam().arguments);
    app.shellCommandsProcessed = 0;
    int dialogsShown = 0;
    bool result = true;
    wxTEST_DIALOG(result = app.InitInstance(), ExpectDialog<ui::CMoxtrelDlg>([&](ui::CMoxtrelDlg& dlg) {
                      ++dialogsShown;
                      EXPECT_EQ(app.GetTopWindow(), &dlg);
                      dlg.InitDialog();
                      EXPECT_FALSE(static_cast<wxRadioButton*>(dlg.FindWindow(D::IdQuake))->GetValue());
                      EXPECT_FALSE(IsEnabled(dlg, D::IdBegin));
                      EXPECT_EQ(LabelOf(dlg, D::IdStatus), "Welcome to Moxtrel2\nPick your game to start.");
                      return wxID_CANCEL;
                  }));
    EXPECT_FALSE(result);
    EXPECT_EQ(dialogsShown, 1);
    EXPECT_EQ(app.m_cmdInfo.m_nShellCommand, GetParam().command);
    EXPECT_EQ(app.shellCommandsProcessed, GetParam().shellCommandsProcessed);
    EXPECT_EQ(app.GetTopWindow(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, StartUp,
    ::testing::Values(StartUpCase{"NoArguments", {}, Info::FileNew, 1},
                      StartUpCase{"Auto", {"auto"}, Info::AutomaticCommand, 0},
                      StartUpCase{"AutoFlag", {"/AUTO"}, Info::AutomaticCommand, 0},
                      StartUpCase{"FileName", {"-x", "readme.txt"}, Info::AutomaticCommand, 0},
                      StartUpCase{"UnknownFlags", {"--help", "-autox"}, Info::FileNew, 1}));

TEST(MainDialogRun, EndsWithOkOnExitAndWithCancelOnEscapeOrClose) {
    FakeDrives drives;
    FakeRegistry registry;
    {
        ui::CMoxtrelDlg dlg{drives, registry};
        dlg.CallAfter([&] {
            Click(dlg, D::IdQuake);
            dlg.FindWindow(D::IdStatus)->SetLabel("typed over");
            Click(dlg, D::IdExit);
        });
        EXPECT_EQ(dlg.ShowModal(), wxID_OK);
        // Exit leaves the game chosen and the status text as they are.
        EXPECT_TRUE(static_cast<wxRadioButton*>(dlg.FindWindow(D::IdQuake))->GetValue());
        EXPECT_EQ(LabelOf(dlg, D::IdStatus), "typed over");
    }
    {
        ui::CMoxtrelDlg dlg{drives, registry};
        dlg.CallAfter([&] {
            wxKeyEvent escape(wxEVT_CHAR_HOOK);
            escape.m_keyCode = WXK_ESCAPE;
            escape.SetEventObject(&dlg);
            dlg.ProcessWindowEvent(escape);
        });
        EXPECT_EQ(dlg.ShowModal(), wxID_CANCEL);
    }
    {
        ui::CMoxtrelDlg dlg{drives, registry};
        // The window menu's Close item.
        dlg.CallAfter([&] {
            wxCommandEvent close(wxEVT_MENU, D::IdMenuClose);
            dlg.ProcessWindowEvent(close);
        });
        EXPECT_EQ(dlg.ShowModal(), wxID_CANCEL);
    }
}

// The program run as a process of its own: started with POSIX calls. The
// Windows build's program is checked the same way by tools/check-windows.sh,
// which runs it under Wine.
#ifndef _WIN32
// wx would print its usage and exit on -h, or reject options it does not
// know, if it saw the arguments; the program must open its dialog instead.
TEST(Program, StartsWhateverTheArguments) {
    const char* const argv[] = {MOXTREL_GUI_PATH, "-h", "--display=nowhere:0", "-x", "/AUTO", "file.pak", nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, MOXTREL_GUI_PATH, nullptr, nullptr, const_cast<char* const*>(argv), environ), 0);
    int status = 0;
    pid_t ended = 0;
    for (int i = 0; i < 30 && ended == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ended = waitpid(pid, &status, WNOHANG);
    }
    EXPECT_EQ(ended, 0) << "the program ended with status " << status;
    if (ended == 0) {
        kill(pid, SIGTERM);
        waitpid(pid, &status, 0);
    }
}

// --help and --version print and end the program before any window system is
// asked for, so they work on a terminal without a display.
TEST(Program, PrintsHelpAndVersionWithoutADisplay) {
    struct Answer {
        const char* arguments;
        const char* firstLine;
    };
    for (const Answer& answer : {Answer{"--help", "Usage: moxtrel [auto]\n"}, Answer{"auto --version", "moxtrel "}}) {
        const std::string command =
            std::string("env -u DISPLAY -u WAYLAND_DISPLAY ") + MOXTREL_GUI_PATH + " " + answer.arguments;
        FILE* output = popen(command.c_str(), "r");
        ASSERT_NE(output, nullptr);
        std::string text;
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, output)) text += buffer;
        EXPECT_EQ(pclose(output), 0) << answer.arguments;
        EXPECT_EQ(text.rfind(answer.firstLine, 0), 0u) << text;
    }
}
#endif

}  // namespace
}  // namespace moxtrel::test
