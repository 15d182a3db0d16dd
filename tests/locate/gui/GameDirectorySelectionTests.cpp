// The main dialog's Manual Locate and Search with their real dialogs over a
// drive map, and the whole road: choose Quake, find the game, Begin, summary.

#include <filesystem>

#include <wx/button.h>

#include "locate/DriveMapFixture.h"
#include "locate/gui/LocateGuiTest.h"
#include "platform/StoreRegistry.h"
#include "ui/LocateDlg.h"
#include "ui/MoxtrelDlg.h"
#include "ui/SearchDlg.h"

namespace moxtrel::test {
namespace {

namespace fs = std::filesystem;
using D = ui::CMoxtrelDlg;
using locate::CLocateDlg;
using locate::CSearchDlg;

// Runs `act` on the modal dialog of type Dialog that the next action opens,
// inside that dialog's loop; the dialog is ended if `act` leaves it open.
template <typename Dialog>
void WhenOpened(std::function<void(Dialog&)> act) {
    wxTheApp->CallAfter([act] {
        Dialog* open = nullptr;
        for (wxWindow* window : wxTopLevelWindows) {
            if (auto* dialog = dynamic_cast<Dialog*>(window); dialog && IsOpenModal(*dialog)) open = dialog;
        }
        if (!open) {
            ADD_FAILURE() << "the dialog did not open";
            return;
        }
        act(*open);
        if (IsOpenModal(*open)) {
            ADD_FAILURE() << "the dialog was left open";
            open->EndModal(-1);
        }
    });
}

struct Steps {
    bool locate, search, begin, pointerLocate, pointerSearch, pointerBegin;
};

void ExpectSteps(const ui::CMoxtrelDlg& dlg, const Steps& s) {
    EXPECT_EQ(IsEnabled(dlg, D::IdLocate), s.locate);
    EXPECT_EQ(IsEnabled(dlg, D::IdSearch), s.search);
    EXPECT_EQ(IsEnabled(dlg, D::IdBegin), s.begin);
    EXPECT_EQ(IsShown(dlg, D::IdPointerLocate), s.pointerLocate);
    EXPECT_EQ(IsShown(dlg, D::IdPointerSearch), s.pointerSearch);
    EXPECT_EQ(IsShown(dlg, D::IdPointerBegin), s.pointerBegin);
}

constexpr Steps GameChosen{true, true, false, true, true, false};
constexpr Steps DirectoryFound{false, false, true, false, false, true};
constexpr const char* GameChosenText = "Please choose either manual search or auto search.";

class GameDirectorySelection : public ::testing::Test {
protected:
    GameDirectorySelection() {
        c = map.AddDrive("c", "fixed");
        dlg.Show();
    }

    void ChooseQuake() {
        Click(dlg, D::IdQuake);
        ExpectSteps(dlg, GameChosen);
    }

    DriveMap map;
    std::string c;
    TempDir registryDir;
    CurrentDirectoryGuard cwd;
    FlashRecorder flashes;
    platform::StoreRegistry registry{(registryDir / "registry.reg").string()};
    ui::CMoxtrelDlg dlg{map.Service(), registry};
};

TEST_F(GameDirectorySelection, ManualLocateHandsTheFoundDirectoryToTheMainDialog) {
    WriteGame(c + "Games/Quake");
    ChooseQuake();
    WhenOpened<CLocateDlg>([&](CLocateDlg& locate) {
        EXPECT_EQ(LabelOf(locate, CLocateDlg::IdPrompt), "Please find the Quake(tm) game executable directory...");
        locate::CDirTreeCtrl& tree = TreeOf(locate);
        tree.Expand(tree.GetSelection());
        wxTreeItemIdValue cookie;
        tree.SelectItem(tree.GetFirstChild(tree.GetSelection(), cookie));
        tree.Expand(tree.GetSelection());
        tree.SelectItem(tree.GetFirstChild(tree.GetSelection(), cookie));
        Click(locate, CLocateDlg::IdOkCancel);
    });
    Click(dlg, D::IdLocate);

    EXPECT_EQ(dlg.GameDirectory(), Native(c + "Games/Quake/id1/"));
    ExpectSteps(dlg, DirectoryFound);
    EXPECT_EQ(LabelOf(dlg, D::IdStatus), " Found pak0.pak and pak1.pak");
}

TEST_F(GameDirectorySelection, ACancelledLocateChangesNothing) {
    WriteGame(c.substr(0, c.size() - 1));
    ChooseQuake();
    LocateOnFirstFixedDrive(dlg);
    // The game is chosen again, and this Locate, though found, is cancelled.
    Click(dlg, D::IdQuake);
    constexpr Steps ChosenAgain{true, true, false, true, true, true};
    ExpectSteps(dlg, ChosenAgain);
    WhenOpened<CLocateDlg>([](CLocateDlg& locate) { PressEscape(locate); });
    Click(dlg, D::IdLocate);
    EXPECT_EQ(dlg.GameDirectory(), Native(c + "id1/"));
    ExpectSteps(dlg, ChosenAgain);
    EXPECT_EQ(LabelOf(dlg, D::IdStatus), GameChosenText);
}

TEST_F(GameDirectorySelection, SearchHandsTheFoundDirectoryToTheMainDialog) {
    WriteGame(c + "Games/Quake", {.executable = "QUAKE.EXE"});
    ChooseQuake();
    WhenOpened<CSearchDlg>([&](CSearchDlg& search) {
        Tick(search, CSearchDlg::IdHard, true);
        Click(search, CSearchDlg::IdBeginSearch);
        Click(search, CSearchDlg::IdOkCancel);
    });
    Click(dlg, D::IdSearch);

    EXPECT_EQ(dlg.GameDirectory(), Native(c + "Games/Quake/id1/"));
    ExpectSteps(dlg, DirectoryFound);
    EXPECT_EQ(LabelOf(dlg, D::IdStatus), "Found pak0.pak and pak1.pak");
}

TEST_F(GameDirectorySelection, ASearchThatFoundNothingCompleteLeavesTheStepsAsTheyWere) {
    WriteGame(c + "Quake", {.pak0 = ""});
    ChooseQuake();
    WhenOpened<CSearchDlg>([&](CSearchDlg& search) {
        Tick(search, CSearchDlg::IdHard, true);
        Click(search, CSearchDlg::IdBeginSearch);
        Click(search, CSearchDlg::IdOkCancel);
    });
    Click(dlg, D::IdSearch);
    EXPECT_TRUE(dlg.GameDirectory().empty()) << "a find the user could not accept is not taken";
    ExpectSteps(dlg, GameChosen);
    EXPECT_EQ(LabelOf(dlg, D::IdStatus), GameChosenText);
}

TEST_F(GameDirectorySelection, WithoutAGameNoStepOpensADialog) {
    // The buttons are disabled; their commands come in all the same.
    wxTestingModalHook noDialogExpected;
    for (int step : {D::IdLocate, D::IdSearch, D::IdBegin}) {
        wxCommandEvent press(wxEVT_BUTTON, step);
        dlg.FindWindow(step)->ProcessWindowEvent(press);
    }
    noDialogExpected.CheckUnmetExpectations();
    EXPECT_EQ(LabelOf(dlg, D::IdStatus), "Welcome to Moxtrel2\nPick your game to start.");
    EXPECT_TRUE(dlg.GameDirectory().empty());
}

TEST_F(GameDirectorySelection, TheWholeRoadFromChoosingQuakeToTheSummary) {
    WriteGame(c + "Quake", {.playable = true});
    for (int way : {0, 1}) {
        SCOPED_TRACE(way == 0 ? "by Manual Locate" : "by Search");
        fs::remove(c + "Quake/id1/Quake.wad");
        ChooseQuake();
        if (way == 0) {
            WhenOpened<CLocateDlg>([&](CLocateDlg& locate) {
                locate::CDirTreeCtrl& tree = TreeOf(locate);
                tree.Expand(tree.GetSelection());
                wxTreeItemIdValue cookie;
                tree.SelectItem(tree.GetFirstChild(tree.GetSelection(), cookie));
                Click(locate, CLocateDlg::IdOkCancel);
            });
            Click(dlg, D::IdLocate);
        } else {
            WhenOpened<CSearchDlg>([&](CSearchDlg& search) {
                Tick(search, CSearchDlg::IdHard, true);
                Click(search, CSearchDlg::IdBeginSearch);
                Click(search, CSearchDlg::IdOkCancel);
            });
            Click(dlg, D::IdSearch);
        }
        ASSERT_EQ(dlg.GameDirectory(), Native(c + "Quake/id1/"));

        wxTEST_DIALOG(Click(dlg, D::IdBegin), ExpectSummary([&](CWadInfoDlg& summary) {
                          EXPECT_EQ(LabelOf(summary, CWadInfoDlg::IdFileName), "Quake.wad");
                          EXPECT_EQ(LabelOf(summary, CWadInfoDlg::IdTotal), "2");
                          EXPECT_EQ(LabelOf(summary, CWadInfoDlg::IdAnimated), "1");
                      }));
        EXPECT_TRUE(fs::exists(c + "Quake/id1/Quake.wad"));
        EXPECT_EQ(LabelOf(dlg, D::IdStatus), "Extraction complete!");
    }
}

}  // namespace
}  // namespace moxtrel::test
