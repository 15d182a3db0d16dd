#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

#include "locate/DriveMapFixture.h"
#include "platform/DirectoryListing.h"
#include "platform/Drives.h"
#include "support/TempDir.h"

namespace moxtrel::platform {
namespace {

namespace fs = std::filesystem;
using test::MakeDirectories;
using test::Touch;

struct Listed {
    std::string name;
    bool isDirectory;
    bool operator<(const Listed& other) const { return name < other.name; }
    bool operator==(const Listed& other) const = default;
};

std::vector<Listed> ListSorted(const std::string& path, bool& opened) {
    DirectoryListing listing;
    opened = listing.Open(path);
    std::vector<Listed> entries;
    DirectoryEntry entry;
    while (listing.Next(entry)) entries.push_back({std::string(entry.name), entry.isDirectory});
    std::sort(entries.begin(), entries.end());
    return entries;
}

TEST(DirectoryListing, GivesEveryEntryButDotAndDotDotAndNeverTakesALinkForADirectory) {
    if (!test::CanMakeSymbolicLinks) GTEST_SKIP() << test::NoSymbolicLinks;
    test::TempDir dir;
    MakeDirectories((dir / "Games").string());
    MakeDirectories((dir / ".hidden").string());
    MakeDirectories((dir / "...").string());
    Touch((dir / "readme.txt").string());
    fs::create_directory_symlink(dir / "Games", dir / "link-to-games");
    fs::create_symlink(dir / "nowhere", dir / "dangling");
    std::string oddName("\xff\xfe-not-utf8");
    MakeDirectories((dir / oddName).string());

    bool opened = false;
    std::vector<Listed> entries = ListSorted(dir.Path().string(), opened);
    ASSERT_TRUE(opened);
    std::vector<Listed> expected = {
        {"...", true},          {".hidden", true},      {"Games", true}, {"dangling", false},
        {"link-to-games", false}, {"readme.txt", false}, {oddName, true},
    };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(entries, expected);
}

TEST(DirectoryListing, RefusesLinksFilesAndMissingPaths) {
    test::TempDir dir;
    MakeDirectories((dir / "real").string());
    Touch((dir / "file").string());
    if (test::CanMakeSymbolicLinks) fs::create_directory_symlink(dir / "real", dir / "link");

    DirectoryListing listing;
    EXPECT_TRUE(listing.Open((dir / "real").string()));
    EXPECT_FALSE(listing.Open((dir / "link").string()));
    EXPECT_FALSE(listing.Open((dir / "file").string()));
    EXPECT_FALSE(listing.Open((dir / "missing").string()));
    EXPECT_FALSE(listing.IsOpen());
}

TEST(VolumeFence, KeepsAListingOnTheDeviceAndOutOfOtherMountPoints) {
    VolumeFence fence("/games/", 42, {"/games/cdrom", "/games/bound"});
    EXPECT_TRUE(fence.Admits("/games/", 42));
    EXPECT_TRUE(fence.Admits("/games/quake", 42));
    EXPECT_TRUE(fence.Admits("/games/cdrom-notes", 42));
    EXPECT_FALSE(fence.Admits("/games/quake", 43)) << "another file system below the root";
    EXPECT_FALSE(fence.Admits("/games/bound", 42)) << "a bind mount shows the same device";
    EXPECT_FALSE(fence.Admits("/games/cdrom/", 42));
}

TEST(VolumeFence, OfTheRealRootRefusesTheKernelsOwnFileSystems) {
    struct stat root {};
    struct stat proc {};
    if (::stat("/proc/self", &proc) != 0 || ::stat("/", &root) != 0 || proc.st_dev == root.st_dev) {
        GTEST_SKIP() << "no separate /proc here";
    }
    const std::vector<std::string> mountPoints = MakeSystemDrives()->ReadTable().MountPoints();
    DirectoryListing listing;
    EXPECT_TRUE(listing.Open("/", VolumeFence("/", mountPoints)));
    EXPECT_FALSE(listing.Open("/proc", VolumeFence("/", mountPoints)));
    EXPECT_TRUE(listing.Open("/proc", VolumeFence("/proc/", mountPoints)));
    EXPECT_FALSE(listing.Open("/", VolumeFence("/no/such/root/", mountPoints)));
}

TEST(EntryExistsIgnoringCase, FindsAnyKindOfEntryWhateverItsCase) {
    test::TempDir dir;
    Touch((dir / "pak0.pak").string());
    MakeDirectories((dir / "Pak1.Pak").string());
    EXPECT_TRUE(EntryExistsIgnoringCase(dir.Path().string(), "PAK0.PAK"));
    EXPECT_TRUE(EntryExistsIgnoringCase(dir.Path().string(), "PAK1.PAK"));
    EXPECT_FALSE(EntryExistsIgnoringCase(dir.Path().string(), "PAK2.PAK"));
    EXPECT_FALSE(EntryExistsIgnoringCase((dir / "gone").string(), "PAK0.PAK"));
}

}  // namespace
}  // namespace moxtrel::platform
