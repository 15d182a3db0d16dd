// The windows under real input, with a window manager: keys, clicks and
// Alt+F4 through the X server; the focus after each state change, close
// requests during long work, placement, message boxes and the found cue.

#include <filesystem>

#include <wx/button.h>
#include <wx/settings.h>
#include <wx/statbmp.h>

#include "locate/DriveMapFixture.h"
#include "locate/gui/LocateGuiTest.h"
#include "platform/StoreRegistry.h"
#include "tools/GameWriter.h"
#include "ui/LocateDlg.h"
#include "ui/MoxtrelDlg.h"
#include "ui/RealInput.h"
#include "ui/SearchDlg.h"

namespace moxtrel::test {
namespace {

using D = ui::CMoxtrelDlg;
using locate::CLocateDlg;
using locate::CSearchDlg;

// Clicks the folder `name` below the drive the Locate dialog opened on.
void ClickFolder(CLocateDlg& dlg, const wxString& name) {
    locate::CDirTreeCtrl& tree = TreeOf(dlg);
    wxTreeItemIdValue cookie;
    wxTreeItemId item = tree.GetFirstChild(tree.GetSelection(), cookie);
    while (item.IsOk() && tree.GetItemText(item) != name) item = tree.GetNextChild(tree.GetSelection(), cookie);
    wxRect rect;
    ASSERT_TRUE(item.IsOk() && tree.GetBoundingRect(item, rect, true)) << name;
    ClickAt(tree.ClientToScreen(rect.GetPosition() + rect.GetSize() / 2));
}

void ScanWithTheMouse(CSearchDlg& search) {
    Tick(search, CSearchDlg::IdHard, true);
    ClickOn(*search.FindWindow(CSearchDlg::IdBeginSearch));
    PumpUntil([&] { return LabelOf(search, CSearchDlg::IdStatus).starts_with("File"); });
}

class RealUse : public ::testing::Test {
protected:
    RealUse() { WriteGame(c + "Quake", {.playable = true}); }

    // Shows `dialog` modally, runs `inside` once it has the focus, and
    // waits for the dialog to end; returns how it ended.
    int Run(wxDialog& dialog, const std::function<void()>& inside) {
        return RunModal(dialog, [&] {
            ASSERT_TRUE(WaitUntilActive(dialog));
            inside();
            EXPECT_TRUE(PumpUntil([&] { return !IsOpenModal(dialog); }));
        });
    }

    std::unique_ptr<wxDialog> Locate() {
        auto dlg = std::make_unique<CLocateDlg>(map.Service());
        dlg->SetPrompt("Find Quake", 0);
        return dlg;
    }
    std::unique_ptr<wxDialog> Search(const char* exe = "quake.exe") {
        auto dlg = std::make_unique<CSearchDlg>(map.Service());
        dlg->SetSearchTarget(exe, 0);
        return dlg;
    }

    DriveMap map;
    std::string c = map.AddDrive("c", "fixed");
    CurrentDirectoryGuard cwd;
    TempDir registryDir;
};

// Space presses the focused button, so it shows where the focus is.
TEST_F(RealUse, TheFindingDialogsKeepTheFocusOnTheirCloseButtonAndEscapeAlwaysCancels) {
    struct Case {
        const char* state;
        std::function<std::unique_ptr<wxDialog>()> make;
        std::function<void(wxDialog&)> act;
        int key;
        int ends;
    };
    auto none = [](wxDialog&) {};
    auto scan = [](wxDialog& dlg) { ScanWithTheMouse(static_cast<CSearchDlg&>(dlg)); };
    const Case cases[] = {
        {"Locate opened", [&] { return Locate(); }, none, WXK_SPACE, wxID_CANCEL},
        {"Search opened", [&] { return Search(); }, none, WXK_SPACE, wxID_CANCEL},
        {"Locate found by a click", [&] { return Locate(); },
         [](wxDialog& dlg) { ClickFolder(static_cast<CLocateDlg&>(dlg), "Quake"); }, WXK_SPACE, wxID_OK},
        {"Search not found", [&] { return Search("doom.exe"); }, scan, WXK_ESCAPE, wxID_CANCEL},
        {"Search found", [&] { return Search(); }, scan, WXK_ESCAPE, wxID_CANCEL},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.state);
        std::unique_ptr<wxDialog> dlg = test.make();
        EXPECT_EQ(Run(*dlg, [&] {
                      test.act(*dlg);
                      PressKey(test.key);
                  }),
                  test.ends);
    }
}

TEST_F(RealUse, ClosingDuringTheScanWaitsForItAndAcceptsTheFind) {
    std::unique_ptr<wxDialog> dlg = Search();
    CloseRequestDuringWork close;
    EXPECT_EQ(Run(*dlg, [&] { ScanWithTheMouse(static_cast<CSearchDlg&>(*dlg)); }), wxID_OK);
    EXPECT_TRUE(close.Sent());
    EXPECT_EQ(static_cast<CSearchDlg&>(*dlg).GetPath(), Native(c + "Quake/id1/"));
}

TEST_F(RealUse, TheFoundStateIsSeenInTheTitleAndTheLockedTreeAndTheStatusLineHasItsEdge) {
    CLocateDlg locate{map.Service()};
    Run(locate, [&] {
        const wxRect tree = TreeOf(locate).GetScreenRect();
        const wxPoint empty(tree.x + tree.width / 2, tree.y + tree.height * 3 / 4);
        const wxColour open = ScreenPixel(empty);
        ClickFolder(locate, "Quake");
        ASSERT_TRUE(PumpUntil([&] { return LabelOf(locate, CLocateDlg::IdOkCancel) == "&Ok"; }));
        EXPECT_NE(locate.GetTitle(), "Locate") << "the title blinks at the find";
        EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(empty) != open; }, 2)) << "the locked tree is greyed";
        EXPECT_TRUE(PumpUntil([&] { return locate.GetTitle() == "Locate"; })) << "and the title ends plain";
        PressKey(WXK_ESCAPE);
    });
    std::unique_ptr<wxDialog> search = Search();
    Run(*search, [&] {
        const wxRect status = search->FindWindow(CSearchDlg::IdStatus)->GetScreenRect();
        const wxPoint edge(status.x + status.width / 2, status.y - 1);
        EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(edge) != ScreenPixel(edge - wxPoint(0, 4)); }, 2));
        ScanWithTheMouse(static_cast<CSearchDlg&>(*search));
        EXPECT_NE(search->GetTitle(), "Search");
        EXPECT_TRUE(PumpUntil([&] { return search->GetTitle() == "Search"; }));
        PressKey(WXK_ESCAPE);
    });
}

class MainDialogInUse : public RealUse {
protected:
    MainDialogInUse() {
        dlg.Show();
        EXPECT_TRUE(WaitUntilActive(dlg));
    }

    // Quake, then Manual Locate or Search, opened by a click, finds the game.
    void FindTheGame(bool bySearch) {
        Click(dlg, D::IdQuake);
        WhenModal find(IsA<wxDialog>, [&](wxDialog& shown) {
            if (bySearch) {
                ScanWithTheMouse(static_cast<CSearchDlg&>(shown));
            } else {
                ClickFolder(static_cast<CLocateDlg&>(shown), "Quake");
            }
            PumpUntil([&] { return LabelOf(shown, 1032) == "&Ok"; });
            Click(shown, 1032);
        });
        ClickOn(bySearch ? *dlg.FindWindow(D::IdSearch) : *dlg.FindWindow(D::IdLocate));
        ASSERT_TRUE(PumpUntil([&] { return IsEnabled(dlg, D::IdBegin) && dlg.IsActive(); }));
    }

    // Runs `start` (which starts Begin) up to the closed summary.
    void Begin(const std::function<void()>& start, const std::function<void()>& whileSummaryIsUp = [] {}) {
        bool summarised = false;
        wxTEST_DIALOG(start(); PumpUntil([&] { return summarised; }), ExpectSummary([&](CWadInfoDlg&) {
                          summarised = true;
                          whileSummaryIsUp();
                      }));
    }

    bool Ended() { return PumpUntil([&] { return !dlg.IsShown(); }) && dlg.GetReturnCode() == wxID_CANCEL; }

    platform::StoreRegistry registry{(registryDir / "registry.reg").string()};
    ui::CMoxtrelDlg dlg{map.Service(), registry};
};

TEST_F(MainDialogInUse, AltBStartsBeginAfterASearch) {
    FindTheGame(true);
    Begin([] { PressKey('B', wxMOD_ALT); });
}

TEST_F(MainDialogInUse, EscapeEndsTheProgramAfterEveryStepMadeWithTheMouse) {
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"Manual Locate", [&] { FindTheGame(false); }},
        {"Begin",
         [&] {
             FindTheGame(true);
             Begin([&] { ClickOn(*dlg.FindWindow(D::IdBegin)); });
         }},
        {"any change that disables the focused control",
         [&] {
             Click(dlg, D::IdQuake);
             dlg.FindWindow(D::IdLocate)->SetFocus();
             dlg.FindWindow(D::IdLocate)->Disable();
             // The window takes the focus back once it is idle, before the user's next key.
             PumpUntil([] { return wxWindow::FindFocus() && wxWindow::FindFocus()->IsEnabled(); });
         }},
    };
    for (const auto& [step, make] : steps) {
        SCOPED_TRACE(step);
        dlg.SetReturnCode(0);
        if (!dlg.IsShown()) dlg.Show();  // opens anew, in its start state
        ASSERT_TRUE(WaitUntilActive(dlg));
        make();
        PressKey(WXK_ESCAPE);
        EXPECT_TRUE(Ended());
    }
}

TEST_F(MainDialogInUse, ClosingDuringBeginWaitsForTheRunAndThenEndsTheProgram) {
    FindTheGame(true);
    CloseRequestDuringWork close;
    Begin([&] { ClickOn(*dlg.FindWindow(D::IdBegin)); },
          [&] { EXPECT_TRUE(dlg.IsShown()) << "the run goes on in sight"; });
    EXPECT_TRUE(Ended());
    EXPECT_TRUE(close.Sent());
    EXPECT_TRUE(std::filesystem::exists(c + "Quake/id1/Quake.wad"));
}

TEST_F(MainDialogInUse, EverySecondaryWindowOpensOverTheMainDialog) {
    FindTheGame(true);
    dlg.Move(20, 20);  // away from the middle of the screen
    ASSERT_TRUE(PumpUntil([&] { return dlg.GetScreenPosition().x < 40; }));
    const std::function<void()> openers[] = {
        [&] {
            wxCommandEvent about(wxEVT_MENU, ui::SysCommand::About);
            dlg.ProcessWindowEvent(about);
        },
        [&] { ClickOn(*dlg.FindWindow(D::IdBegin)); },  // the summary
        [&] { Click(dlg, D::IdQuake); ClickOn(*dlg.FindWindow(D::IdLocate)); },
        [&] { ClickOn(*dlg.FindWindow(D::IdSearch)); },
    };
    for (const auto& open : openers) {
        WhenModal secondary([&](wxDialog& shown) { return &shown != &dlg; }, [&](wxDialog& shown) {
            const wxPoint offset = shown.GetScreenRect().GetPosition() + shown.GetSize() / 2 -
                                   (dlg.GetScreenRect().GetPosition() + dlg.GetSize() / 2);
            EXPECT_LT(std::abs(offset.x) + std::abs(offset.y), 40) << shown.GetTitle();
        }, wxID_CANCEL);
        open();
        EXPECT_TRUE(PumpUntil([&] { return secondary.Acted() && dlg.IsActive(); }));
    }
}

TEST_F(MainDialogInUse, ErrorBoxesShowTheirIconAndWholeCaption) {
    FindTheGame(true);
    const std::tuple<std::function<void()>, const char*, bool> cases[] = {
        {[&] { std::filesystem::remove(c + "Quake/id1/PAK0.PAK"); }, "File IO error", true},
        {[&] { RemoveFromOutside(c + "Quake/id1"); }, "Extraction Error", false},
    };
    for (const auto& [breakTheGame, caption, withIcon] : cases) {
        breakTheGame();
        WhenModal box(IsA<widgets::MessageDialog>, [&](wxDialog& shown) {
            EXPECT_EQ(shown.GetTitle(), caption);
            bool icon = false;
            for (wxWindow* child : shown.GetChildren()) {
                auto* bitmap = wxDynamicCast(child, wxStaticBitmap);
                icon = icon || (bitmap && bitmap->IsShown() && bitmap->GetBitmap().GetWidth() >= 32);
            }
            EXPECT_EQ(icon, withIcon) << caption;
            // The title bar needs the caption in bold and room for its buttons.
            const wxFont bold = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).Bold();
            int captionWidth = 0;
            shown.GetTextExtent(caption, &captionWidth, nullptr, nullptr, nullptr, &bold);
            EXPECT_GE(shown.GetSize().x, captionWidth + 100) << caption;
        }, wxID_OK);
        ClickOn(*dlg.FindWindow(D::IdBegin));
        EXPECT_TRUE(PumpUntil([&] { return box.Acted() && dlg.IsActive(); }));
    }
}

TEST_F(MainDialogInUse, ARunThatSkippedDataSaysSoInOneBoxBeforeTheSummary) {
    FindTheGame(true);
    fixtures::Bytes damaged = fixtures::MakeBsp(fixtures::MakeTextureLump({fixtures::MakeMiptex("lost", 16, 16, 6)}));
    fixtures::PatchInt32(damaged, 20, 0x7FFFFF00);  // the texture lump lies far beyond the archive
    fixtures::WriteBytes(c + "Quake/id1/PAK1.PAK", fixtures::MakePak({{"maps/bad.bsp", damaged}}));
    wxString caption, text;
    std::vector<std::string> shownInOrder;
    WhenModal box(IsA<widgets::MessageDialog>, [&](wxDialog& shown) {
        shownInOrder.push_back("warning");
        caption = shown.GetTitle();
        text = static_cast<widgets::MessageDialog&>(shown).GetMessage();
        PressKey(WXK_RETURN);
        // Taken by this box, not by the summary after it.
        EXPECT_TRUE(PumpUntil([&] { return !IsOpenModal(shown); })) << "Return closes the box";
    });
    WhenModal summary(IsA<CWadInfoDlg>, [&](wxDialog&) { shownInOrder.push_back("summary"); }, wxID_OK);
    PressKey('B', wxMOD_ALT);
    ASSERT_TRUE(PumpUntil([&] { return summary.Acted() && dlg.IsActive(); }));
    EXPECT_EQ(shownInOrder, (std::vector<std::string>{"warning", "summary"}));
    EXPECT_EQ(caption, "Extraction warning");
    EXPECT_TRUE(text.StartsWith("Damaged data was skipped: 0 archives, 1 map and 0 textures.")) << text;
    EXPECT_NE(text.Find("PAK1.PAK: maps/bad.bsp: the texture lump"), wxNOT_FOUND) << text;
}

}  // namespace
}  // namespace moxtrel::test
