// Begin, end to end on fixture games: the package is written and summarised,
// each failure is shown in its box, and the dialog is left in the right state.

#include <filesystem>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <wx/animate.h>
#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/utils.h>

#include "GuiTest.h"
#include "locate/DriveMapFixture.h"
#include "locate/gui/LocateGuiTest.h"
#include "platform/StoreRegistry.h"
#include "support/TempDir.h"
#include "tools/GameWriter.h"
#include "ui/MoxtrelDlg.h"

namespace moxtrel::test {
namespace {

namespace fs = std::filesystem;
using D = ui::CMoxtrelDlg;
using namespace moxtrel::fixtures;

constexpr const char* FoundText = " Found pak0.pak and pak1.pak";

Bytes MapWith(const std::vector<std::string>& textureNames, std::uint32_t seed) {
    std::vector<std::optional<Bytes>> slots;
    for (const std::string& name : textureNames) slots.push_back(MakeMiptex(name, 16, 16, seed++));
    return MakeBsp(MakeTextureLump(slots));
}

class BeginRun : public ::testing::Test {
protected:
    BeginRun() {
        fs::create_directories(gameDir);
        // The first archive gives three textures, the second one more and a
        // name already taken.
        WriteBytes((gameDir / "PAK0.PAK").string(),
                   MakePak({{"maps/e1m1.bsp", MapWith({"wall", "+0lava", "sky1"}, 1)}}));
        WriteBytes((gameDir / "PAK1.PAK").string(),
                   MakePak({{"maps/e1m2.bsp", MapWith({"wall", "floor"}, 10)}}));
        dlg.Show();
        Click(dlg, D::IdQuake);
        LocateOnFirstFixedDrive(dlg);
        // The game directory ends in the system's separator.
        EXPECT_EQ(dlg.GameDirectory(), (gameDir / "").string());
    }

    fs::path Package() const { return gameDir / "Quake.wad"; }
    wxAnimationCtrl& Clip() const { return *wxDynamicCast(dlg.FindWindow(D::IdAnimate), wxAnimationCtrl); }
    int Progress() const { return static_cast<wxGauge*>(dlg.FindWindow(D::IdProgress))->GetValue(); }

    // Begin failed before any work: nothing of the dialog changed.
    void ExpectUntouched() {
        EXPECT_TRUE(IsEnabled(dlg, D::IdBegin));
        EXPECT_TRUE(IsShown(dlg, D::IdPointerBegin));
        EXPECT_FALSE(IsShown(dlg, D::IdAnimate));
        EXPECT_TRUE(Clip().GetAnimation().IsOk());
        EXPECT_EQ(LabelOf(dlg, D::IdStatus), FoundText);
        EXPECT_EQ(Progress(), 0);
        EXPECT_FALSE(fs::exists(Package()));
        EXPECT_FALSE(fs::exists(root / "registry.reg"));
        ExpectIdle();
    }

    void ExpectIdle() {
        EXPECT_FALSE(dlg.HasCapture());
        EXPECT_FALSE(wxIsBusy());
        EXPECT_FALSE(Clip().IsPlaying());
    }

    TempDir root;
    CurrentDirectoryGuard cwd;
    DriveMap drives;
    fs::path gameDir = fs::path(drives.AddDrive("c", "fixed")) / "id1";
    platform::StoreRegistry registry{(root.Path() / "registry.reg").string()};
    ui::CMoxtrelDlg dlg{drives.Service(), registry};
};

TEST_F(BeginRun, WritesThePackageAndShowsItsSummary) {
    wxTEST_DIALOG(Click(dlg, D::IdBegin), ExpectSummary([&](CWadInfoDlg& summary) {
                      // The package is complete while its summary is shown.
                      ASSERT_TRUE(fs::exists(Package()));
                      auto kb = std::to_string(fs::file_size(Package()) / 1024) + " KB";
                      EXPECT_EQ(LabelOf(summary, CWadInfoDlg::IdFileName), "Quake.wad");
                      EXPECT_EQ(LabelOf(summary, CWadInfoDlg::IdFileSize), kb);
                      EXPECT_EQ(LabelOf(summary, CWadInfoDlg::IdTotal), "4");
                      EXPECT_EQ(LabelOf(summary, CWadInfoDlg::IdSimple), "3");
                      EXPECT_EQ(LabelOf(summary, CWadInfoDlg::IdAnimated), "1");
                      // The summary can be used: the dialog does not hold the mouse.
                      EXPECT_FALSE(dlg.HasCapture());
                  }));

    EXPECT_EQ(LabelOf(dlg, D::IdStatus), "Extraction complete!");
    EXPECT_EQ(Progress(), 0);
    EXPECT_FALSE(IsShown(dlg, D::IdAnimate));
    EXPECT_FALSE(Clip().GetAnimation().IsOk());
    EXPECT_FALSE(IsEnabled(dlg, D::IdBegin));
    EXPECT_FALSE(IsShown(dlg, D::IdPointerBegin));
    EXPECT_FALSE(IsEnabled(dlg, D::IdLocate));
    EXPECT_FALSE(IsEnabled(dlg, D::IdSearch));
    ExpectIdle();
}

TEST_F(BeginRun, AnInvalidFirstArchiveIsReportedAndThePackageHoldsTheSecond) {
    WriteBytes((gameDir / "PAK0.PAK").string(), Bytes{'J', 'U', 'N', 'K', 0, 0, 0, 0, 0, 0, 0, 0});
    auto duringTheHarvest = [&] {
        // The animation runs from the start of the harvest, and the box
        // has the mouse while it is up.
        EXPECT_TRUE(IsShown(dlg, D::IdAnimate));
        EXPECT_TRUE(Clip().IsPlaying());
        EXPECT_FALSE(dlg.HasCapture());
    };
    wxTEST_DIALOG(Click(dlg, D::IdBegin),
                  ExpectMessageBox("Invalid Pak file.", "File IO Error", wxICON_EXCLAMATION, duringTheHarvest),
                  ExpectMessageBox(::testing::StartsWith("Damaged data was skipped: 1 archive, 0 maps and 0 textures."),
                                   "Extraction warning", wxICON_EXCLAMATION),
                  ExpectSummary([&](CWadInfoDlg& summary) {
                      EXPECT_EQ(LabelOf(summary, CWadInfoDlg::IdTotal), "2");
                      EXPECT_EQ(LabelOf(summary, CWadInfoDlg::IdSimple), "2");
                      EXPECT_EQ(LabelOf(summary, CWadInfoDlg::IdAnimated), "0");
                  }));
    EXPECT_TRUE(fs::exists(Package()));
    EXPECT_EQ(LabelOf(dlg, D::IdStatus), "Extraction complete!");
    ExpectIdle();
}

TEST_F(BeginRun, TwoInvalidArchivesEndTheRunWithoutAPackageOrASummary) {
    for (const char* name : {"PAK0.PAK", "PAK1.PAK"}) WriteBytes((gameDir / name).string(), Bytes{'J', 'U', 'N', 'K'});
    wxTEST_DIALOG(Click(dlg, D::IdBegin),
                  ExpectMessageBox("Invalid Pak file.", "File IO Error", wxICON_EXCLAMATION),
                  ExpectMessageBox("Invalid Pak file.", "File IO Error", wxICON_EXCLAMATION),
                  ExpectMessageBox("No textures could be read, so no package was written.", "Extraction Error",
                                   wxICON_EXCLAMATION));
    ExpectUntouched();
}

TEST_F(BeginRun, AGameDirectoryThatIsGoneGivesAPlainBox) {
    RemoveFromOutside(gameDir);
    wxTEST_DIALOG(Click(dlg, D::IdBegin), ExpectMessageBox("Invalid file path", "Extraction Error", 0));
    ExpectUntouched();
}

TEST_F(BeginRun, AMissingArchiveIsReportedByName) {
    fs::remove(gameDir / "PAK1.PAK");
    wxTEST_DIALOG(Click(dlg, D::IdBegin),
                  ExpectMessageBox("Could not open pak1.pak file.", "File IO error", wxICON_EXCLAMATION));
    ExpectUntouched();

    fs::remove(gameDir / "PAK0.PAK");
    wxTEST_DIALOG(Click(dlg, D::IdBegin),
                  ExpectMessageBox("Could not open pak0.pak file.", "File IO error", wxICON_EXCLAMATION));
    ExpectUntouched();
}

// The open-file limit is POSIX's; Windows has no per-process limit a test
// could lower, so there the package's creation cannot be made to fail alone.
#ifndef _WIN32
// Leaves room for exactly `free` more open files while it lives.
class OpenFileLimit {
public:
    explicit OpenFileLimit(int free) {
        getrlimit(RLIMIT_NOFILE, &m_saved);
        rlim_t limit = 0;
        for (int room = 0; room < free; ++limit) {
            if (!fs::exists("/proc/self/fd/" + std::to_string(limit))) ++room;
        }
        rlimit lowered = m_saved;
        lowered.rlim_cur = limit;
        setrlimit(RLIMIT_NOFILE, &lowered);
    }
    ~OpenFileLimit() { setrlimit(RLIMIT_NOFILE, &m_saved); }

private:
    rlimit m_saved{};
};

TEST_F(BeginRun, APackageThatCannotBeCreatedIsReported) {
    // Both archives open, and then the system has no file left for the package.
    {
        OpenFileLimit roomForTheArchives(2);
        wxTEST_DIALOG(Click(dlg, D::IdBegin),
                      ExpectMessageBox("Could not create wad file.", "File IO error", wxICON_EXCLAMATION));
    }
    ExpectUntouched();
}
#endif

TEST_F(BeginRun, AfterAFileErrorTheDialogIsReadyToTryAgain) {
    // A folder where the package goes: the finished package cannot take its name.
    fs::create_directory(Package());
    wxTEST_DIALOG(Click(dlg, D::IdBegin), ExpectMessageBox(::testing::StartsWith("Error accessing Quake.wad"),
                                                            "File IO error", wxICON_EXCLAMATION));
    EXPECT_TRUE(IsEnabled(dlg, D::IdBegin));
    EXPECT_TRUE(IsShown(dlg, D::IdPointerBegin));
    EXPECT_FALSE(IsShown(dlg, D::IdAnimate));
    EXPECT_EQ(LabelOf(dlg, D::IdStatus), FoundText);
    EXPECT_EQ(Progress(), 0);
    EXPECT_TRUE(fs::is_directory(Package()));
    EXPECT_EQ(std::distance(fs::directory_iterator(gameDir), fs::directory_iterator()), 3)
        << "no temporary package is left beside the archives";
    ExpectIdle();

    fs::remove(Package());
    wxTEST_DIALOG(Click(dlg, D::IdBegin), ExpectSummary([](CWadInfoDlg& summary) {
                      EXPECT_EQ(LabelOf(summary, CWadInfoDlg::IdTotal), "4");
                  }));
    EXPECT_TRUE(fs::is_regular_file(Package()));
}

}  // namespace
}  // namespace moxtrel::test
