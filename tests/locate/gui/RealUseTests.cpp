// The windows under real input, with a window manager: keys and clicks
// through the X server, Alt+F4 close requests, focus after each state
// change, the found cue and what the windows look like on the screen.

#include <filesystem>

#include <wx/button.h>
#include <wx/settings.h>
#include <wx/statbmp.h>

#include "locate/DriveMapFixture.h"
#include "locate/LocateDlg.h"
#include "locate/SearchDlg.h"
#include "locate/gui/LocateGuiTest.h"
#include "ui/MoxtrelDlg.h"
#include "ui/RealInput.h"

namespace moxtrel::test {
namespace {

namespace fs = std::filesystem;
using D = CMoxtrelDlg;
using locate::CLocateDlg;
using locate::CSearchDlg;

// Clicks the tree item of the folder `name` below the opened first drive.
void ClickFolder(CLocateDlg& dlg, const std::string& name) {
    locate::CDirTreeCtrl& tree = dlg.m_ctlTree;
    wxTreeItemIdValue cookie;
    for (wxTreeItemId item = tree.GetFirstChild(tree.GetSelection(), cookie); item.IsOk();
         item = tree.GetNextChild(tree.GetSelection(), cookie)) {
        wxRect rect;
        if (tree.GetItemText(item) != name || !tree.GetBoundingRect(item, rect, true)) continue;
        ClickAt(tree.ClientToScreen(rect.GetPosition() + wxPoint(rect.width / 2, rect.height / 2)));
        return;
    }
    ADD_FAILURE() << "no folder " << name;
}

class RealUse : public ::testing::Test {
protected:
    RealUse() { c = map.AddDrive("c", "fixed"); }

    // Runs `dialog` modally; `inside` gets it once it has the focus.
    template <typename Dialog>
    int Run(Dialog& dialog, const std::function<void(Dialog&)>& inside) {
        return RunModal(dialog, [&] {
            ASSERT_TRUE(WindowManager::Running());
            ASSERT_TRUE(WaitUntilActive(dialog));
            inside(dialog);
        });
    }

    void ScanWithTheMouse(CSearchDlg& search) {
        Tick(search, CSearchDlg::IdHard, true);
        ClickOn(*search.FindWindow(CSearchDlg::IdBeginSearch));
        PumpUntil([&] { return LabelOf(search, CSearchDlg::IdStatus).starts_with("File"); });
    }

    DriveMap map;
    std::string c;
    std::string result;
    CurrentDirectoryGuard cwd;
};

TEST_F(RealUse, EscapeCancelsTheSearchDialogInEveryState) {
    WriteGame(c + "Quake");
    for (const char* state : {"idle", "not found", "found"}) {
        SCOPED_TRACE(state);
        const bool found = std::string(state) == "found";
        const bool scan = std::string(state) != "idle";
        CSearchDlg dlg;
        dlg.SetSearchTarget(found ? "quake.exe" : "doom.exe", &result, 0);
        int code = Run<CSearchDlg>(dlg, [&](CSearchDlg& search) {
            if (scan) ScanWithTheMouse(search);
            EXPECT_EQ(search.m_bFound, found);
            PressKey(WXK_ESCAPE);
            PumpUntil([&] { return !search.IsModal(); });
        });
        EXPECT_EQ(code, wxID_CANCEL);
    }
}

TEST_F(RealUse, AFindMadeByClickingAFolderLeavesTheFocusOnOk) {
    WriteGame(c + "Quake");
    CLocateDlg dlg;
    dlg.SetPrompt("Find Quake", 0);
    int code = Run<CLocateDlg>(dlg, [&](CLocateDlg& locate) {
        ClickFolder(locate, "Quake");
        ASSERT_TRUE(PumpUntil([&] { return locate.m_bFound; }));
        // Space presses the focused button.
        PressKey(WXK_SPACE);
        PumpUntil([&] { return !locate.IsModal(); });
    });
    EXPECT_EQ(code, wxID_OK);
}

TEST_F(RealUse, BothFindingDialogsOpenWithTheFocusOnTheirCloseButton) {
    // Space presses the focused button: "&Cancel" ends the dialog.
    CLocateDlg locate;
    CSearchDlg search;
    search.SetSearchTarget("quake.exe", &result, 0);
    for (wxDialog* dlg : std::initializer_list<wxDialog*>{&locate, &search}) {
        SCOPED_TRACE(dlg->GetTitle());
        int code = Run<wxDialog>(*dlg, [&](wxDialog& shown) {
            EXPECT_EQ(wxWindow::FindFocus(), shown.FindWindow(1032));
            PressKey(WXK_SPACE);
            PumpUntil([&] { return !shown.IsModal(); });
        });
        EXPECT_EQ(code, wxID_CANCEL);
    }
}

TEST_F(RealUse, ClosingDuringTheScanWaitsForItAndAcceptsTheFind) {
    WriteGame(c + "Games/Quake");
    CSearchDlg dlg;
    dlg.SetSearchTarget("quake.exe", &result, 0);
    int code = Run<CSearchDlg>(dlg, [&](CSearchDlg& search) {
        Tick(search, CSearchDlg::IdHard, true);
        CloseRequestDuringWork close;
        ClickOn(*search.FindWindow(CSearchDlg::IdBeginSearch));
        PumpUntil([&] { return !search.IsModal(); });
        EXPECT_TRUE(close.Sent());
    });
    EXPECT_EQ(code, wxID_OK);
    EXPECT_EQ(result, c + "Games/Quake/id1/");
}

TEST_F(RealUse, TheFoundStateIsSeenInTheTitleAndTheLockedTree) {
    WriteGame(c + "Quake");
    CLocateDlg locate;
    locate.SetPrompt("Find Quake", 0);
    Run<CLocateDlg>(locate, [&](CLocateDlg& dlg) {
        const wxRect tree = dlg.m_ctlTree.GetScreenRect();
        const wxPoint empty(tree.x + tree.width / 2, tree.y + tree.height * 3 / 4);
        const wxColour open = ScreenPixel(empty);
        ClickFolder(dlg, "Quake");
        ASSERT_TRUE(PumpUntil([&] { return dlg.m_bFound; }));
        EXPECT_NE(dlg.GetTitle(), "Locate") << "the title blinks at the find";
        EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(empty) != open; }, 2.0)) << "the locked tree is greyed";
        EXPECT_TRUE(PumpUntil([&] { return dlg.GetTitle() == "Locate"; }, 3.0)) << "and ends as it was";
        PressKey(WXK_RETURN);
        PumpUntil([&] { return !dlg.IsModal(); });
    });

    CSearchDlg search;
    search.SetSearchTarget("quake.exe", &result, 0);
    Run<CSearchDlg>(search, [&](CSearchDlg& dlg) {
        // The empty status line shows its sunken edge.
        const wxRect status = dlg.FindWindow(CSearchDlg::IdStatus)->GetScreenRect();
        const wxPoint edge(status.x + status.width / 2, status.y - 1);
        EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(edge) != ScreenPixel(edge - wxPoint(0, 4)); }, 2.0));
        ScanWithTheMouse(dlg);
        EXPECT_NE(dlg.GetTitle(), "Search");
        EXPECT_TRUE(PumpUntil([&] { return dlg.GetTitle() == "Search"; }, 3.0));
        PressKey(WXK_ESCAPE);
        PumpUntil([&] { return !dlg.IsModal(); });
    });
}

class MainDialogInUse : public RealUse {
protected:
    MainDialogInUse() {
        WriteGame(c + "Quake", {.playable = true});
        dlg.Show();
        EXPECT_TRUE(WaitUntilActive(dlg));
        Click(dlg, D::IdQuake);
    }

    void FindTheGameBySearch() {
        WhenModal search(IsA<CSearchDlg>, [&](wxDialog& shown) {
            auto& dialog = static_cast<CSearchDlg&>(shown);
            Tick(dialog, CSearchDlg::IdHard, true);
            Click(dialog, CSearchDlg::IdBeginSearch);
            Click(dialog, CSearchDlg::IdOkCancel);
        });
        ClickOn(*dlg.m_btnSearch);
        ASSERT_TRUE(PumpUntil([&] { return dlg.m_btnBegin->IsEnabled() && dlg.IsActive(); }));
    }

    // Begin by the mouse, up to the closed summary.
    void BeginWithTheMouse(const std::function<void()> whileTheSummaryIsUp = {}) {
        bool summarised = false;
        wxTEST_DIALOG(ClickOn(*dlg.m_btnBegin); PumpUntil([&] { return summarised; }),
                      ExpectSummary([&](CWadInfoDlg&) {
                          summarised = true;
                          if (whileTheSummaryIsUp) whileTheSummaryIsUp();
                      }));
    }

    void ExpectEscapeEndsTheProgram() {
        PressKey(WXK_ESCAPE);
        EXPECT_TRUE(PumpUntil([&] { return !dlg.IsShown(); }));
        EXPECT_EQ(dlg.GetReturnCode(), wxID_CANCEL);
    }

    TempDir registryDir;
    ScopedEnv registry{"MOXTREL_REGISTRY", (registryDir / "registry.reg").string()};
    CMoxtrelDlg dlg;
};

TEST_F(MainDialogInUse, AltBStartsBeginAfterASearch) {
    FindTheGameBySearch();
    bool summarised = false;
    wxTEST_DIALOG(PressKey('B', wxMOD_ALT); PumpUntil([&] { return summarised; }),
                  ExpectSummary([&](CWadInfoDlg&) { summarised = true; }));
    EXPECT_TRUE(fs::exists(c + "Quake/id1/Quake.wad"));
}

TEST_F(MainDialogInUse, EscapeEndsTheProgramAfterAManualLocateOpenedByAClick) {
    WhenModal locate(IsA<CLocateDlg>, [&](wxDialog& shown) {
        auto& dialog = static_cast<CLocateDlg&>(shown);
        ClickFolder(dialog, "Quake");
        PumpUntil([&] { return dialog.m_bFound; });
        Click(dialog, CLocateDlg::IdOkCancel);
    });
    ClickOn(*dlg.m_btnLocate);
    ASSERT_TRUE(PumpUntil([&] { return dlg.m_btnBegin->IsEnabled() && dlg.IsActive(); }));
    ExpectEscapeEndsTheProgram();
}

TEST_F(MainDialogInUse, TheKeyboardComesBackWhenAnythingDisablesTheFocusedControl) {
    FindTheGameBySearch();
    ASSERT_EQ(wxWindow::FindFocus(), dlg.m_btnBegin);
    dlg.m_btnBegin->Disable();
    ExpectEscapeEndsTheProgram();
}

TEST_F(MainDialogInUse, EscapeEndsTheProgramAfterBeginClickedWithTheMouse) {
    FindTheGameBySearch();
    BeginWithTheMouse();
    ExpectEscapeEndsTheProgram();
}

TEST_F(MainDialogInUse, ClosingDuringBeginWaitsForTheRunAndThenEndsTheProgram) {
    FindTheGameBySearch();
    wxTEST_DIALOG(
        {
            CloseRequestDuringWork close;
            ClickOn(*dlg.m_btnBegin);
            PumpUntil([&] { return !dlg.IsShown(); });
            EXPECT_TRUE(close.Sent());
        },
        ExpectSummary([&](CWadInfoDlg&) { EXPECT_TRUE(dlg.IsShown()) << "the run goes on in sight"; }));
    EXPECT_FALSE(dlg.IsShown());
    EXPECT_EQ(dlg.GetReturnCode(), wxID_CANCEL);
    EXPECT_TRUE(fs::exists(c + "Quake/id1/Quake.wad"));
}

// The WAD File Info box and the message boxes of Begin, the About box, and
// the Locate and Search dialogs, each shown for real over a main dialog that
// stands away from the middle of the screen.
TEST_F(MainDialogInUse, EverySecondaryWindowOpensOverTheMainDialog) {
    FindTheGameBySearch();
    dlg.Move(20, 20);
    ASSERT_TRUE(PumpUntil([&] { return dlg.GetScreenPosition().x < 40; }));
    auto overTheMainDialog = [&](wxDialog& shown) {
        const wxPoint offset = shown.GetScreenRect().GetPosition() + shown.GetSize() / 2 -
                               (dlg.GetScreenRect().GetPosition() + dlg.GetSize() / 2);
        EXPECT_LT(std::abs(offset.x) + std::abs(offset.y), 40) << shown.GetTitle();
    };
    auto anotherDialog = [&](wxDialog& shown) { return &shown != &dlg; };
    const std::vector<std::function<void()>> openers = {
        [&] { dlg.OnSysCommand(SysCommand::About, 0); },
        [&] { ClickOn(*dlg.m_btnBegin); },  // the summary
        [&] { Click(dlg, D::IdQuake); ClickOn(*dlg.m_btnLocate); },
        [&] { ClickOn(*dlg.m_btnSearch); },
    };
    for (const auto& open : openers) {
        WhenModal secondary(anotherDialog, overTheMainDialog, wxID_CANCEL);
        open();
        EXPECT_TRUE(PumpUntil([&] { return secondary.Acted() && dlg.IsActive(); }));
    }
}

TEST_F(MainDialogInUse, ErrorBoxesShowTheirIconAndWholeCaption) {
    FindTheGameBySearch();
    const std::string pak0 = c + "Quake/id1/PAK0.PAK";
    struct Case {
        std::function<void()> breakTheGame;
        const char* caption;
        bool icon;
    };
    const Case cases[] = {
        {[&] { fs::remove(pak0); }, "File IO error", true},
        {[&] { dlg.m_strGameDir = c + "gone/"; }, "Extraction Error", false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.caption);
        test.breakTheGame();
        WhenModal box(IsA<gui::CMessageBox>, [&](wxDialog& shown) {
            EXPECT_EQ(shown.GetTitle(), test.caption);
            wxStaticBitmap* icon = nullptr;
            for (wxWindow* child : shown.GetChildren()) {
                if (auto* bitmap = wxDynamicCast(child, wxStaticBitmap)) icon = bitmap;
            }
            EXPECT_EQ(icon && icon->IsShown() && icon->GetBitmap().GetWidth() >= 32, test.icon);
            // The title bar needs the caption in bold and room for its buttons.
            const wxFont bold = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).Bold();
            int captionWidth = 0;
            shown.GetTextExtent(test.caption, &captionWidth, nullptr, nullptr, nullptr, &bold);
            EXPECT_GE(shown.GetSize().x, captionWidth + 100);
        }, wxID_OK);
        ClickOn(*dlg.m_btnBegin);
        EXPECT_TRUE(PumpUntil([&] { return box.Acted() && dlg.IsActive(); }));
    }
}

}  // namespace
}  // namespace moxtrel::test
