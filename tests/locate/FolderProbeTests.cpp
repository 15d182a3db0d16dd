#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "locate/DriveMapFixture.h"
#include "locate/FolderProbe.h"

namespace moxtrel::locate {
namespace {

namespace fs = std::filesystem;
using platform::NoVolumeSerial;
using test::DriveMap;
using test::MakeDirectories;
using test::Touch;

TEST(FolderProbe, CountsOnlyRealSubFoldersHiddenOnesIncluded) {
    DriveMap map;
    std::string root = map.AddDrive("c", "fixed");
    MakeDirectories(root + "files");
    Touch(root + "files/readme.txt");
    MakeDirectories(root + "linked");
    if (test::CanMakeSymbolicLinks) fs::create_directory_symlink(root + "files", root + "linked/link");
    MakeDirectories(root + "hidden/.config");

    platform::VolumeFence fence(root, map.Drives().MountPoints());
    EXPECT_TRUE(HasSubFolders(root, fence));
    EXPECT_FALSE(HasSubFolders(root + "files", fence));
    EXPECT_FALSE(HasSubFolders(root + "linked", fence)) << "a link to a folder is not a folder";
    EXPECT_TRUE(HasSubFolders(root + "hidden", fence));
    EXPECT_FALSE(HasSubFolders(root + "gone", fence));

    std::vector<std::string> names;
    ASSERT_TRUE(ListSubFolders(root, fence, names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"files", "hidden", "linked"}));
    EXPECT_FALSE(ListSubFolders(root + "files/readme.txt", fence, names));
    EXPECT_TRUE(names.empty());
}

TEST(FolderProbe, TakesADriveRootAsExistingAndAFolderOnlyWhileItIsOne) {
    DriveMap map;
    std::string root = map.AddDrive("c", "fixed");
    std::string emptyDrive = map.AddDrive("a", "removable", std::nullopt, /*withMedia=*/false);
    MakeDirectories(root + "Quake");
    Touch(root + "file");
    if (test::CanMakeSymbolicLinks) fs::create_directory_symlink(root + "Quake", root + "link");

    EXPECT_TRUE(FolderExists(root));
    EXPECT_TRUE(FolderExists(emptyDrive));
    EXPECT_TRUE(FolderExists(root + "Quake"));
    EXPECT_FALSE(FolderExists(root + "file"));
    EXPECT_FALSE(FolderExists(root + "link"));
    fs::remove(root + "Quake");
    EXPECT_FALSE(FolderExists(root + "Quake"));
}

TEST(MediaSerials, SeeAnExchangedMediumOnceAndNoMediumEveryTime) {
    DriveMap map;
    std::string stick = map.AddDrive("stick", "removable", 0x1111);
    MediaSerials serials;
    serials.Remember(map.Drives(), stick);
    EXPECT_EQ(serials.Slot(stick), 0x1111u);
    EXPECT_TRUE(serials.IsSameMedia(map.Drives(), stick));
    EXPECT_TRUE(serials.IsSameMedia(map.Drives(), stick + "games/quake"));

    map.SetSerial("stick", 0x2222);
    EXPECT_FALSE(serials.IsSameMedia(map.Drives(), stick + "games"));
    EXPECT_EQ(serials.Slot(stick), 0x2222u);
    EXPECT_TRUE(serials.IsSameMedia(map.Drives(), stick));

    fs::remove_all(stick);
    EXPECT_FALSE(serials.IsSameMedia(map.Drives(), stick));
    EXPECT_FALSE(serials.IsSameMedia(map.Drives(), stick));
    EXPECT_EQ(serials.Slot(stick), NoVolumeSerial);

    // A medium after none is no change.
    MakeDirectories(stick);
    map.SetSerial("stick", 0x3333);
    EXPECT_TRUE(serials.IsSameMedia(map.Drives(), stick));
}

TEST(MediaSerials, NeverDoubtFixedDrivesAndStartEmptyForADriveNeverListed) {
    DriveMap map;
    std::string disc = map.AddDrive("disc", "cdrom", 0xABCD);
    std::string games = map.AddDrive("games", "fixed", 0x1);
    MediaSerials serials;
    EXPECT_EQ(serials.Slot(disc), NoVolumeSerial);
    EXPECT_TRUE(serials.IsSameMedia(map.Drives(), disc));
    map.SetSerial("games", 0x2);
    EXPECT_TRUE(serials.IsSameMedia(map.Drives(), games));
    fs::remove_all(games);
    EXPECT_TRUE(serials.IsSameMedia(map.Drives(), games + "gone")) << "the existence test judges fixed drives";
}

}  // namespace
}  // namespace moxtrel::locate
