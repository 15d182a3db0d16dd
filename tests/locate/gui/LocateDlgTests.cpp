// The Locate dialog in its real modal loop over drive maps: the candidate
// test of each selection, the searching and found states, the closing rules
// and the flashes of the caption.

#include <wx/button.h>
#include <wx/textctrl.h>

#include "locate/DriveMapFixture.h"
#include "locate/gui/LocateGuiTest.h"
#include "platform/File.h"
#include "ui/LocateDlg.h"
#include "ui/PathText.h"

namespace moxtrel::test {
namespace {

using locate::CLocateDlg;
using locate::TextToPath;
using L = CLocateDlg;

constexpr const char* QuakePrompt = "Please find the Quake(tm) game executable directory...";

std::string PathText(const CLocateDlg& dlg) {
    return TextToPath(static_cast<wxTextCtrl*>(dlg.FindWindow(L::IdPathText))->GetValue());
}

wxTreeItemId Item(const CLocateDlg& dlg, const std::string& path) {
    const locate::CDirTreeCtrl& tree = TreeOf(dlg);
    std::vector<wxTreeItemId> level{tree.GetRootItem()};
    while (!level.empty()) {
        std::vector<wxTreeItemId> next;
        for (const wxTreeItemId& parent : level) {
            wxTreeItemIdValue cookie;
            for (wxTreeItemId child = tree.GetFirstChild(parent, cookie); child.IsOk();
                 child = tree.GetNextChild(parent, cookie)) {
                if (tree.GetItemPath(child) == path) return child;
                next.push_back(child);
            }
        }
        level = std::move(next);
    }
    ADD_FAILURE() << "no item " << path;
    return {};
}

void Select(CLocateDlg& dlg, const std::string& path) {
    ASSERT_TRUE(TreeOf(dlg).IsEnabled()) << "the tree is locked";
    TreeOf(dlg).SelectItem(Item(dlg, path));
}

void ExpectSearching(const CLocateDlg& dlg, const std::string& shownPath) {
    EXPECT_EQ(LabelOf(dlg, L::IdOkCancel), "&Cancel");
    EXPECT_TRUE(TreeOf(dlg).IsEnabled());
    EXPECT_EQ(PathText(dlg), shownPath);
}

void ExpectFound(const CLocateDlg& dlg, const std::string& gameDir) {
    EXPECT_EQ(LabelOf(dlg, L::IdOkCancel), "&Ok");
    EXPECT_FALSE(TreeOf(dlg).IsEnabled()) << "the tree is locked when found";
    EXPECT_EQ(PathText(dlg), "File(s) found");
    EXPECT_EQ(dlg.GetPath(), gameDir);
    EXPECT_EQ(platform::GetCurrentDirectory(), gameDir);
}

class LocateDialog : public ::testing::Test {
protected:
    DriveMap map;
    CurrentDirectoryGuard cwd;
    FlashRecorder flashes;
};

TEST_F(LocateDialog, OpensFoundWhenTheRootOfTheFirstFixedDriveHoldsTheGame) {
    map.AddDrive("a", "removable", std::nullopt, /*withMedia=*/false);
    std::string c = map.AddDrive("c", "fixed");
    WriteGame(c.substr(0, c.size() - 1), {.executable = ""});

    CLocateDlg dlg{map.Service()};
    dlg.SetPrompt(QuakePrompt, 0);
    int result = RunModal(dlg, [&] {
        EXPECT_EQ(dlg.GetTitle(), "Locate");
        EXPECT_EQ(LabelOf(dlg, L::IdPrompt), QuakePrompt);
        ExpectFound(dlg, Native(c + "id1/"));
        EXPECT_EQ(flashes.flashes, std::vector<bool>{true});
        EXPECT_FALSE(wxIsBusy()) << "the hourglass is gone once the drives are listed";
        EXPECT_FALSE(dlg.HasCapture());
        Click(dlg, L::IdOkCancel);
    });
    EXPECT_EQ(result, wxID_OK);
    EXPECT_EQ(dlg.GetPath(), Native(c + "id1/"));
}

TEST_F(LocateDialog, TestsEachSelectionWithTheDataDirectoryAndStaysSearchingUntilBothArchivesAreThere) {
    std::string c = map.AddDrive("c", "fixed");
    WriteGame(c + "OnlyPak0", {.pak1 = ""});
    WriteGame(c + "OnlyPak1", {.pak0 = ""});
    WriteGame(c + "Games/Quake", {.dataDirectory = "ID1", .pak0 = "pak0.pak", .pak1 = "pak1.pak"});

    CLocateDlg dlg{map.Service()};
    dlg.SetPrompt(QuakePrompt, 0);
    int result = RunModal(dlg, [&] {
        ExpectSearching(dlg, c);
        EXPECT_EQ(dlg.GetPath(), Native(c + "id1/")) << "a drive root gets no second '/'";
        Select(dlg, c + "OnlyPak0");
        ExpectSearching(dlg, c + "OnlyPak0");
        EXPECT_EQ(dlg.GetPath(), Native(c + "OnlyPak0/id1/"));
        Select(dlg, c + "OnlyPak1");
        ExpectSearching(dlg, c + "OnlyPak1");
        TreeOf(dlg).Expand(Item(dlg, c + "Games"));
        Select(dlg, Native(c + "Games/Quake"));
        ExpectFound(dlg, Native(c + "Games/Quake/ID1/"));
        PressEscape(dlg);
    });
    EXPECT_EQ(result, wxID_CANCEL) << "Escape cancels even when found";
}

TEST_F(LocateDialog, AddsTheHexenDataDirectoryForHexen) {
    std::string c = map.AddDrive("c", "fixed");
    WriteGame(c + "Quake");
    WriteGame(c + "Hexen II", {.executable = "hexen2.exe", .dataDirectory = "data1"});

    CLocateDlg dlg{map.Service()};
    dlg.SetPrompt("Please find the Hexen(tm) 2 game executable directory...", 1);
    int result = RunModal(dlg, [&] {
        EXPECT_EQ(dlg.GetPath(), Native(c + "data1/"));
        Select(dlg, c + "Quake");
        ExpectSearching(dlg, c + "Quake");
        Select(dlg, c + "Hexen II");
        ExpectFound(dlg, Native(c + "Hexen II/data1/"));
        dlg.Close();
    });
    EXPECT_EQ(result, wxID_OK) << "the close box accepts when found";
}

TEST_F(LocateDialog, CancelsFromTheSearchingStateWhateverCloses) {
    std::string c = map.AddDrive("c", "fixed");
    for (auto close : std::vector<std::function<void(CLocateDlg&)>>{
             [](CLocateDlg& dlg) { Click(dlg, L::IdOkCancel); },
             [](CLocateDlg& dlg) { dlg.Close(); },
             [](CLocateDlg& dlg) { PressEscape(dlg); },
         }) {
        CLocateDlg dlg{map.Service()};
        dlg.SetPrompt(QuakePrompt, 0);
        int result = RunModal(dlg, [&] {
            ExpectSearching(dlg, c);
            // Enter presses the default button.
            EXPECT_EQ(dlg.GetDefaultItem(), dlg.FindWindow(L::IdOkCancel));
            close(dlg);
        });
        EXPECT_EQ(result, wxID_CANCEL);
    }
}

TEST_F(LocateDialog, FlashesFourTicksForTheFirstFindOfTheProcessAndOneForEveryLaterFind) {
    std::string c = map.AddDrive("c", "fixed");
    WriteGame(c.substr(0, c.size() - 1));
    const int ticksBefore = CLocateDlg::FlashTickCount();

    auto findAndWatch = [&] {
        flashes.flashes.clear();
        CLocateDlg dlg{map.Service()};
        dlg.SetPrompt(QuakePrompt, 0);
        RunModal(dlg, [&] {
            EXPECT_TRUE(WaitUntil([&] { return !flashes.flashes.empty() && !flashes.flashes.back(); }, 10.0))
                << "the flashing never stopped";
            Click(dlg, L::IdOkCancel);
        });
    };
    findAndWatch();
    // One flash on finding, one per tick; the tick at the count of three stops.
    std::vector<bool> first(static_cast<std::size_t>(1 + 4 - ticksBefore), true);
    first.push_back(false);
    EXPECT_EQ(flashes.flashes, first);
    EXPECT_EQ(CLocateDlg::FlashTickCount(), 3);

    findAndWatch();
    EXPECT_EQ(flashes.flashes, (std::vector<bool>{true, true, false}));
}

}  // namespace
}  // namespace moxtrel::test
