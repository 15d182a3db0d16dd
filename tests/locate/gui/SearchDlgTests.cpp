// The Search dialog in its real modal loop over drive maps: the drive kinds
// and Begin Search, the scan's outcomes and the game directory it gives,
// the closing rules, the status line during the scan, the flashes and the
// group box inside the dialog.

#include <stdexcept>

#include <wx/animate.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include "locate/DriveMapFixture.h"
#include "locate/gui/LocateGuiTest.h"
#include "platform/File.h"
#include "ui/PathText.h"
#include "ui/SearchDlg.h"

namespace moxtrel::test {
namespace {

using locate::CSearchDlg;
using S = CSearchDlg;

class SearchDialog : public ::testing::Test {
protected:
    // Runs a Search dialog for Quake; `inside` runs in its loop.
    int Run(const std::function<void(CSearchDlg&)>& inside, int game = 0) {
        CSearchDlg dlg{map.Service()};
        dlg.SetSearchTarget(game == 0 ? "quake.exe" : "hexen2.exe", game);
        const int code = RunModal(dlg, [&] { inside(dlg); });
        result = dlg.GetPath();
        return code;
    }

    DriveMap map;
    CurrentDirectoryGuard cwd;
    FlashRecorder flashes;
    // What the dialog gave as its game directory once it ended.
    std::string result;
};

wxAnimationCtrl& Clip(const CSearchDlg& dlg) {
    return *wxDynamicCast(dlg.FindWindow(S::IdAnimate), wxAnimationCtrl);
}

void ExpectOptionsEnabled(const CSearchDlg& dlg, bool enabled) {
    for (int id : {S::IdHard, S::IdNetwork, S::IdRemovable}) EXPECT_EQ(IsEnabled(dlg, id), enabled) << id;
}

TEST_F(SearchDialog, OpensIdleAndBeginSearchFollowsTheTickedKinds) {
    Run([&](CSearchDlg& dlg) {
        EXPECT_EQ(dlg.GetTitle(), "Search");
        EXPECT_EQ(LabelOf(dlg, S::IdStatus), "");
        EXPECT_EQ(LabelOf(dlg, S::IdOkCancel), "&Cancel");
        EXPECT_EQ(dlg.GetDefaultItem(), dlg.FindWindow(S::IdOkCancel));
        ExpectOptionsEnabled(dlg, true);
        EXPECT_FALSE(IsEnabled(dlg, S::IdBeginSearch));
        // The clip is open on its first frame, still.
        EXPECT_TRUE(Clip(dlg).GetAnimation().IsOk());
        EXPECT_EQ(Clip(dlg).GetAnimation().GetSize(), wxSize(48, 45));
        EXPECT_FALSE(Clip(dlg).IsPlaying());

        for (int id : {S::IdHard, S::IdNetwork, S::IdRemovable}) {
            Tick(dlg, id, true);
            EXPECT_TRUE(IsEnabled(dlg, S::IdBeginSearch)) << id;
            Tick(dlg, S::IdHard, true);
            Tick(dlg, id, false);
            Tick(dlg, S::IdHard, false);
            EXPECT_FALSE(IsEnabled(dlg, S::IdBeginSearch)) << id;
        }
        Click(dlg, S::IdOkCancel);
    });
}

TEST_F(SearchDialog, FindsTheGameOnTheRootOfTheFirstFixedDriveAndLocksTheOptions) {
    map.AddDrive("a", "removable", std::nullopt, /*withMedia=*/false);
    std::string c = map.AddDrive("c", "fixed");
    WriteGame(c.substr(0, c.size() - 1), {.executable = "QUAKE.EXE"});

    int code = Run([&](CSearchDlg& dlg) {
        Tick(dlg, S::IdHard, true);
        Tick(dlg, S::IdRemovable, true);
        Click(dlg, S::IdBeginSearch);
        EXPECT_EQ(LabelOf(dlg, S::IdStatus), "File found");
        EXPECT_EQ(LabelOf(dlg, S::IdOkCancel), "&Ok");
        EXPECT_FALSE(IsEnabled(dlg, S::IdBeginSearch));
        ExpectOptionsEnabled(dlg, false);
        EXPECT_EQ(dlg.GetPath(), Native(c + "id1/"));
        EXPECT_EQ(platform::GetCurrentDirectory(), dlg.GetPath());
        EXPECT_EQ(flashes.flashes, std::vector<bool>{true});
        // The scan is over: the clip stands, the hourglass and the grab are gone.
        EXPECT_FALSE(Clip(dlg).IsPlaying());
        EXPECT_FALSE(wxIsBusy());
        EXPECT_FALSE(dlg.HasCapture());
        Click(dlg, S::IdOkCancel);
    });
    EXPECT_EQ(code, wxID_OK);
}

TEST_F(SearchDialog, TakesTheFirstExecutableEvenWhenItsDirectoryHasNoGame) {
    std::string c = map.AddDrive("c", "fixed");
    std::string d = map.AddDrive("d", "fixed");
    WriteGame(c + "Demo", {.dataDirectory = ""});
    WriteGame(d + "Quake");

    int code = Run([&](CSearchDlg& dlg) {
        Tick(dlg, S::IdHard, true);
        Click(dlg, S::IdBeginSearch);
        EXPECT_EQ(LabelOf(dlg, S::IdStatus), "File not found");
        EXPECT_EQ(LabelOf(dlg, S::IdOkCancel), "&Cancel");
        EXPECT_EQ(dlg.GetPath(), "") << "no data directory: the result is emptied";
        // The options stay, so another search can be made.
        ExpectOptionsEnabled(dlg, true);
        EXPECT_TRUE(IsEnabled(dlg, S::IdBeginSearch));
        EXPECT_TRUE(flashes.flashes.empty());
        dlg.Close();
    });
    EXPECT_EQ(code, wxID_CANCEL);
}

TEST_F(SearchDialog, KeepsTheIncompleteDataDirectoryOfAFolderWithOnlyPak0) {
    std::string c = map.AddDrive("c", "fixed");
    std::string net = map.AddDrive("net", "remote");
    WriteGame(c + "Quake", {.pak1 = ""});
    WriteGame(net + "Quake");

    int code = Run([&](CSearchDlg& dlg) {
        Tick(dlg, S::IdHard, true);
        Tick(dlg, S::IdNetwork, true);
        Click(dlg, S::IdBeginSearch);
        EXPECT_EQ(LabelOf(dlg, S::IdStatus), "File not found");
        EXPECT_EQ(dlg.GetPath(), Native(c + "Quake/id1/"));

        // Searching again with other kinds starts afresh and can find.
        Tick(dlg, S::IdHard, false);
        Click(dlg, S::IdBeginSearch);
        EXPECT_EQ(LabelOf(dlg, S::IdStatus), "File found");
        EXPECT_EQ(dlg.GetPath(), Native(net + "Quake/id1/"));
        PressEscape(dlg);
    });
    EXPECT_EQ(code, wxID_CANCEL) << "Escape cancels even after a find";
    EXPECT_EQ(result, Native(net + "Quake/id1/")) << "the dialog keeps its find; only OK hands it on";
}

TEST_F(SearchDialog, LooksForHexenInItsDataDirectory) {
    std::string c = map.AddDrive("c", "fixed");
    WriteGame(c + "Quake");
    WriteGame(c + "Hexen2", {.executable = "Hexen2.exe", .dataDirectory = "data1"});
    int code = Run(
        [&](CSearchDlg& dlg) {
            Tick(dlg, S::IdHard, true);
            Click(dlg, S::IdBeginSearch);
            EXPECT_EQ(dlg.GetPath(), Native(c + "Hexen2/data1/"));
            Click(dlg, S::IdOkCancel);
        },
        1);
    EXPECT_EQ(code, wxID_OK);
}

TEST_F(SearchDialog, FlashesFourTicksForItsFirstFindOfTheProcessAndOneForEveryLaterFind) {
    std::string c = map.AddDrive("c", "fixed");
    WriteGame(c + "Quake");
    const int ticksBefore = CSearchDlg::FlashTickCount();
    auto findAndWatch = [&] {
        flashes.flashes.clear();
        Run([&](CSearchDlg& dlg) {
            Tick(dlg, S::IdHard, true);
            Click(dlg, S::IdBeginSearch);
            EXPECT_TRUE(WaitUntil([&] { return !flashes.flashes.empty() && !flashes.flashes.back(); }, 10.0));
            Click(dlg, S::IdOkCancel);
        });
    };
    findAndWatch();
    std::vector<bool> first(static_cast<std::size_t>(1 + 4 - ticksBefore), true);
    first.push_back(false);
    EXPECT_EQ(flashes.flashes, first);
    findAndWatch();
    EXPECT_EQ(flashes.flashes, (std::vector<bool>{true, true, false}));
}

// The "Search Options" group box of the dialog.
const wxStaticBox& OptionsBox(const CSearchDlg& dlg) {
    for (const wxWindow* child : dlg.GetChildren()) {
        if (const auto* box = wxDynamicCast(child, wxStaticBox)) return *box;
    }
    throw std::logic_error("the Search dialog has no group box");
}

std::string RectText(const wxRect& rect) {
    return wxString::Format("%d,%d %dx%d", rect.x, rect.y, rect.width, rect.height).ToStdString();
}

TEST_F(SearchDialog, DrawsItsOptionsBoxWholeInsideTheDialogWithTheMarginOfItsOtherControls) {
    Run([&](CSearchDlg& dlg) {
        const wxStaticBox& box = OptionsBox(dlg);
        EXPECT_EQ(box.GetLabel(), "Search Options");
        // The status line stands in the dialog's top left corner, its
        // margins away from both edges.
        const wxPoint margin = dlg.FindWindow(S::IdStatus)->GetPosition();
        ASSERT_GT(margin.x, 0);
        ASSERT_GT(margin.y, 0);
        // The margin is rounded to whole pixels on its own: a pixel more.
        wxRect inside(dlg.GetClientSize());
        inside.Deflate(margin.x - 1, margin.y - 1);
        EXPECT_TRUE(inside.Contains(box.GetRect())) << RectText(box.GetRect()) << " in " << RectText(inside);
        // Its ticks stay inside it.
        for (int id : {S::IdHard, S::IdNetwork, S::IdRemovable}) {
            EXPECT_TRUE(box.GetRect().Contains(dlg.FindWindow(id)->GetRect())) << id;
        }
        Click(dlg, S::IdOkCancel);
    });
}

// A status line that remembers every text it was given.
class RecordingStatic : public wxStaticText {
public:
    RecordingStatic(wxWindow* parent) : wxStaticText(parent, wxID_ANY, wxString()) {}
    void SetLabel(const wxString& label) override {
        shown.push_back(locate::TextToPath(label));
        wxStaticText::SetLabel(label);
    }
    std::vector<std::string> shown;
};

TEST(StatusLineObserver, ShowsTheDirectoriesEnteredAndLetsTimersRunWhileTheScanGoesOn) {
    wxDialog window(nullptr, wxID_ANY, "status");
    auto* status = new RecordingStatic(&window);
    window.Show();
    int ticks = 0;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { ++ticks; });
    timer.Start(5);

    locate::StatusLineObserver everyTime(*status, std::chrono::milliseconds(0));
    std::string odd = "/games/Tom & Jerry \xff";
    for (const std::string& path : {std::string("/games"), odd, std::string("/games/quake")}) {
        everyTime.DirectoryEntered(path);
        wxMilliSleep(40);
    }
    everyTime.DirectoryEntered("/games/last");
    timer.Stop();
    EXPECT_EQ(status->shown.size(), 4u);
    EXPECT_EQ(status->GetLabelText(), "/games/last");
    EXPECT_EQ(status->shown[1], "/games/Tom && Jerry \xff") << "an '&' of a path is no mnemonic";
    EXPECT_GT(ticks, 0) << "timer events (the clip) are served during the scan";

    // Within one interval only the first directory is painted.
    locate::StatusLineObserver throttled(*status, std::chrono::hours(1));
    status->shown.clear();
    throttled.DirectoryEntered("/a");
    throttled.DirectoryEntered("/b");
    EXPECT_EQ(status->shown, std::vector<std::string>{"/a"});
}

}  // namespace
}  // namespace moxtrel::test
