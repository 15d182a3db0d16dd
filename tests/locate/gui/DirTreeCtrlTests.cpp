// The drive and folder tree in a real window: drive order and images, the
// first fixed drive opened, placeholders, sorted folders, paths, refused
// openings, folders that vanish and media that change.

#include <filesystem>
#include <vector>

#include <wx/dialog.h>
#include <wx/imaglist.h>

#include "locate/DriveMapFixture.h"
#include "res/Pictures.h"
#include "support/FakeDrives.h"
#include "support/TempDir.h"
#include "ui/DirTreeCtrl.h"
#include "ui/GuiTest.h"
#include "ui/PathText.h"

namespace moxtrel::locate {
namespace {

namespace fs = std::filesystem;
using platform::DriveType;
using platform::NoVolumeSerial;
using test::DriveMap;
using test::MakeDirectories;
using test::Touch;

struct ItemView {
    std::string text;
    int image;
    int selectedImage;
    bool operator==(const ItemView&) const = default;
};

void PrintTo(const ItemView& item, std::ostream* out) {
    *out << '"' << item.text << "\" " << item.image << '/' << item.selectedImage;
}

class DirTree : public ::testing::Test {
protected:
    DirTree() : window(nullptr, wxID_ANY, "tree"), images(16, 16, true, 7) {
        images.Add(res::LoadDriveAndFolderStrip(), wxColour(255, 0, 255));
        tree.Create(&window, 1022, wxDefaultPosition, wxSize(300, 400));
        tree.SetImageList(&images);
        window.Show();
    }

    std::vector<wxTreeItemId> Children(const wxTreeItemId& parent) const { return ChildrenIn(tree, parent); }
    static std::vector<wxTreeItemId> ChildrenIn(const CDirTreeCtrl& in, const wxTreeItemId& parent) {
        std::vector<wxTreeItemId> items;
        wxTreeItemIdValue cookie;
        for (wxTreeItemId child = in.GetFirstChild(parent, cookie); child.IsOk();
             child = in.GetNextChild(parent, cookie)) {
            items.push_back(child);
        }
        return items;
    }
    std::vector<ItemView> View(const wxTreeItemId& parent) const {
        std::vector<ItemView> view;
        for (const wxTreeItemId& item : Children(parent)) {
            view.push_back({TextToPath(tree.GetItemText(item)), tree.GetItemImage(item),
                            tree.GetItemImage(item, wxTreeItemIcon_Selected)});
        }
        return view;
    }
    wxTreeItemId Child(const wxTreeItemId& parent, const std::string& text) const {
        return ChildIn(tree, parent, text);
    }
    static wxTreeItemId ChildIn(const CDirTreeCtrl& in, const wxTreeItemId& parent, const std::string& text) {
        for (const wxTreeItemId& item : ChildrenIn(in, parent)) {
            if (TextToPath(in.GetItemText(item)) == text) return item;
        }
        ADD_FAILURE() << "no item " << text;
        return {};
    }
    bool HasOnlyPlaceholder(const wxTreeItemId& item) const {
        return !tree.IsExpanded(item) && View(item) == std::vector<ItemView>{{"", 0, 0}};
    }
    wxTreeItemId Drives() const { return tree.GetRootItem(); }

    DriveMap map;
    wxDialog window;
    wxImageList images;
    CDirTreeCtrl tree{map.Service()};
};

TEST_F(DirTree, ListsDrivesInOrderWithTheirImagesAndOpensTheFirstFixedOne) {
    std::string a = map.AddDrive("a", "removable", std::nullopt, /*withMedia=*/false);
    std::string c = map.AddDrive("c", "fixed");
    std::string d = map.AddDrive("d", "cdrom", 0xD15C);
    std::string e = map.AddDrive("e", "fixed");
    std::string net = map.AddDrive("net", "remote");
    std::string ram = map.AddDrive("ram", "ramdisk");
    map.AddDrive("proc", "unknown");
    for (const char* folder : {"Games/Quake", "temp", "Apps", "...", ".hidden"}) MakeDirectories(c + folder);
    std::vector<ItemView> folders{{"...", 5, 6}, {".hidden", 5, 6}, {"Apps", 5, 6}, {"Games", 5, 6}, {"temp", 5, 6}};
#ifdef _WIN32
    folders.erase(folders.begin());  // Windows drops a name's trailing dots: no folder is called "..."
#endif
    Touch(c + "autoexec.bat");
    MakeDirectories(e + "data");
    MakeDirectories(net + "share");

    EXPECT_EQ(tree.FillDrives(), 6);
    EXPECT_EQ(View(Drives()), (std::vector<ItemView>{
                                  {a, 1, 1}, {c, 0, 0}, {d, 2, 2}, {e, 0, 0}, {net, 3, 3}, {ram, 4, 4}}));
    const wxTreeItemId cItem = Child(Drives(), c);
    EXPECT_EQ(tree.GetSelection(), cItem);
    EXPECT_TRUE(tree.IsExpanded(cItem));
    // Sorted without regard to case; ".", ".." never, "..." and hidden ones do.
    EXPECT_EQ(View(cItem), folders);
    EXPECT_TRUE(HasOnlyPlaceholder(Child(cItem, "Games")));
    EXPECT_TRUE(View(Child(cItem, "temp")).empty()) << "a folder without sub-folders has no button";

    // Removable drives and discs are not read, only their media noted.
    EXPECT_TRUE(HasOnlyPlaceholder(Child(Drives(), a)));
    EXPECT_TRUE(HasOnlyPlaceholder(Child(Drives(), d)));
    EXPECT_EQ(tree.VolumeSerialSlot(a), NoVolumeSerial);
    EXPECT_EQ(tree.VolumeSerialSlot(d), 0xD15Cu);
    // The second fixed drive stays closed; the others show whether they have folders.
    EXPECT_TRUE(HasOnlyPlaceholder(Child(Drives(), e)));
    EXPECT_TRUE(HasOnlyPlaceholder(Child(Drives(), net)));
    EXPECT_TRUE(View(Child(Drives(), ram)).empty());
}

TEST_F(DirTree, SelectsTheFirstFixedDriveEvenWithoutFolders) {
    std::string c = map.AddDrive("c", "fixed");
    Touch(c + "only-a-file");
    tree.FillDrives();
    const wxTreeItemId cItem = Child(Drives(), c);
    EXPECT_EQ(tree.GetSelection(), cItem);
    EXPECT_FALSE(tree.ItemHasChildren(cItem));
}

TEST_F(DirTree, BuildsPathsFromItemTexts) {
    std::string c = map.AddDrive("c", "fixed");
#ifdef _WIN32
    std::string odd = "Spiele \xc3\xa4\xc3\xb6\xc3\xbc";  // names are Unicode, held as UTF-8
#else
#ifdef _WIN32
    std::string odd = "Spiele \xc3\xa4\xc3\xb6\xc3\xbc";  // names are Unicode, held as UTF-8
#else
    std::string odd = "Spiele \xe4\xf6\xfc";  // names are bytes: here Latin-1, not UTF-8
#endif  // names are bytes: here Latin-1, not UTF-8
#endif
    MakeDirectories(c + "A/B");
    MakeDirectories(c + odd + "/Quake");
    tree.FillDrives();
    const wxTreeItemId cItem = Child(Drives(), c);
    EXPECT_EQ(tree.GetItemPath(cItem), c);
    tree.Expand(Child(cItem, "A"));
    EXPECT_EQ(tree.GetItemPath(Child(Child(cItem, "A"), "B")), test::Native(c + "A/B"));
    tree.Expand(Child(cItem, odd));
    EXPECT_EQ(tree.GetItemPath(Child(Child(cItem, odd), "Quake")), test::Native(c + odd + "/Quake"));
    EXPECT_EQ(tree.GetItemPath(wxTreeItemId()), "");
}

TEST_F(DirTree, ReadsAFolderAfreshOnEveryOpeningAndDropsTheBranchOnClosing) {
    std::string c = map.AddDrive("c", "fixed");
    MakeDirectories(c + "Games/Quake/id1");
    tree.FillDrives();
    const wxTreeItemId games = Child(Child(Drives(), c), "Games");
    tree.Expand(games);
    tree.Expand(Child(games, "Quake"));
    EXPECT_EQ(View(Child(games, "Quake")), (std::vector<ItemView>{{"id1", 5, 6}}));

    tree.Collapse(games);
    EXPECT_TRUE(HasOnlyPlaceholder(games)) << "closing discards the opened branch below";
    MakeDirectories(c + "Games/Hexen2");
    tree.Expand(games);
    EXPECT_EQ(View(games), (std::vector<ItemView>{{"Hexen2", 5, 6}, {"Quake", 5, 6}}));
}

TEST_F(DirTree, RefusesToOpenAFolderThatLostItsSubFoldersOrAFolderThatIsGone) {
    std::string c = map.AddDrive("c", "fixed");
    MakeDirectories(c + "emptied/sub");
    MakeDirectories(c + "deleted/sub");
    MakeDirectories(c + "kept");
    tree.FillDrives();
    const wxTreeItemId cItem = Child(Drives(), c);
    fs::remove(c + "emptied/sub");
    fs::remove_all(c + "deleted");

    const wxTreeItemId emptied = Child(cItem, "emptied");
    tree.Expand(emptied);
    EXPECT_FALSE(tree.IsExpanded(emptied));
    EXPECT_FALSE(tree.ItemHasChildren(emptied)) << "its button is gone";

    tree.Expand(Child(cItem, "deleted"));
    EXPECT_EQ(View(cItem), (std::vector<ItemView>{{"emptied", 5, 6}, {"kept", 5, 6}}));
}

TEST_F(DirTree, KeepsTheButtonOfADriveThatCannotBeListed) {
    std::string fixed = map.AddDrive("c", "fixed");
    std::string gone = map.AddDrive("gone", "remote");
    MakeDirectories(gone + "share");
    tree.FillDrives();
    const wxTreeItemId goneItem = Child(Drives(), gone);
    fs::remove_all(gone);
    tree.Expand(goneItem);
    EXPECT_TRUE(HasOnlyPlaceholder(goneItem));
    EXPECT_EQ(tree.GetItemPath(Child(Drives(), fixed)), fixed);
}

TEST_F(DirTree, ListsADiscPutIntoAnEmptyDriveAtTheFirstAttempt) {
    map.AddDrive("c", "fixed");
    std::string d = map.AddDrive("d", "cdrom", std::nullopt, /*withMedia=*/false);
    tree.FillDrives();
    const wxTreeItemId dItem = Child(Drives(), d);
    tree.Expand(dItem);
    EXPECT_TRUE(HasOnlyPlaceholder(dItem)) << "no disc: refused";

    MakeDirectories(d + "QUAKE");
    map.SetSerial("d", 0x1996);
    tree.Expand(dItem);
    EXPECT_TRUE(tree.IsExpanded(dItem));
    EXPECT_EQ(View(dItem), (std::vector<ItemView>{{"QUAKE", 5, 6}}));
}

TEST_F(DirTree, RefusesTheFirstOpeningAfterADiscWasExchangedAndListsTheNewOneNext) {
    map.AddDrive("c", "fixed");
    std::string d = map.AddDrive("d", "cdrom", 0x1111);
    MakeDirectories(d + "OLD");
    tree.FillDrives();
    const wxTreeItemId dItem = Child(Drives(), d);

    fs::rename(d + "OLD", d + "NEW");
    map.SetSerial("d", 0x2222);
    tree.Expand(dItem);
    EXPECT_TRUE(HasOnlyPlaceholder(dItem));
    tree.Expand(dItem);
    EXPECT_EQ(View(dItem), (std::vector<ItemView>{{"NEW", 5, 6}}));
}

TEST_F(DirTree, ResetsTheDriveWhenTheMediumIsTakenOutUnderAnOpenFolder) {
    map.AddDrive("c", "fixed");
    std::string stick = map.AddDrive("stick", "removable", 0xAAAA);
    MakeDirectories(stick + "games/quake/id1");
    tree.FillDrives();
    const wxTreeItemId drive = Child(Drives(), stick);
    tree.Expand(drive);
    const wxTreeItemId games = Child(drive, "games");
    tree.Expand(games);
    tree.SelectItem(Child(games, "quake"));

    fs::remove_all(stick);
    tree.Collapse(games);
    EXPECT_TRUE(HasOnlyPlaceholder(drive)) << "collapsed to its placeholder";
    tree.Expand(drive);
    EXPECT_TRUE(HasOnlyPlaceholder(drive)) << "still no medium";
}

TEST_F(DirTree, NeverTakesALinkForAFolder) {
    if (!test::CanMakeSymbolicLinks) GTEST_SKIP() << test::NoSymbolicLinks;
    std::string c = map.AddDrive("c", "fixed");
    MakeDirectories(c + "real/sub");
    fs::create_directory_symlink(c + "real", c + "link");
    tree.FillDrives();
    EXPECT_EQ(View(Child(Drives(), c)), (std::vector<ItemView>{{"real", 5, 6}}));
}

// The same tree over drives held in memory, which count the snapshots taken.
class DirTreeReads : public DirTree {
protected:
    DirTreeReads() { counted.Create(&window, 1023, wxDefaultPosition, wxSize(300, 400)); }
    wxTreeItemId Item(const wxTreeItemId& parent, const std::string& text) const {
        return ChildIn(counted, parent, text);
    }

    test::TempDir dir;
    test::FakeDrives drives;
    CDirTreeCtrl counted{drives};
};

TEST_F(DirTreeReads, TheDrivesOnceToFillAndOnceForEachMediaCheckOfARemovableDrive) {
    const std::string c = drives.AddDrive((dir / "c").string(), DriveType::Fixed, 0xC);
    const std::string stick = drives.AddDrive((dir / "stick").string(), DriveType::Removable, 0x5);
    MakeDirectories(c + "Games/Quake/id1");
    MakeDirectories(stick + "maps");

    counted.FillDrives();
    EXPECT_EQ(drives.TableReads(), 1);
    const wxTreeItemId games = Item(Item(counted.GetRootItem(), c), "Games");
    for (int i = 0; i < 3; ++i) {
        counted.Expand(games);
        counted.Expand(Item(games, "Quake"));
        counted.Collapse(games);
    }
    EXPECT_EQ(drives.TableReads(), 1) << "folders of a fixed drive opened and closed";

    const wxTreeItemId stickItem = Item(counted.GetRootItem(), stick);
    counted.Expand(stickItem);
    EXPECT_TRUE(counted.IsExpanded(stickItem));
    EXPECT_EQ(drives.TableReads(), 2);
    counted.Collapse(stickItem);
    EXPECT_EQ(drives.TableReads(), 3);
}

}  // namespace
}  // namespace moxtrel::locate
