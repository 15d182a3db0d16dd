#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>

#include "WineTestSupport.h"
#include "platform/wine/WinePath.h"

namespace moxtrel::platform::wine {
namespace {

namespace fs = std::filesystem;

// A prefix's drives: the C: and Z: of every prefix, and D: on a games folder
// with E: on a folder inside it and F: on the same games folder as D:. A
// real prefix when Wine is here, so winepath can say what Wine makes of them.
TEST(DrivePathInPrefix, IsTheDriveOfTheLongestLeadingPartAsWinepathSaysIt) {
    const bool withWine = test::WineMissingReason().empty();
    std::unique_ptr<test::TestPrefix> wine;
    test::TempDir bare;
    if (withWine) wine = std::make_unique<test::TestPrefix>();
    const fs::path prefix = withWine ? wine->Path() : bare.Path();
    if (!withWine) {
        fs::create_directories(prefix / "dosdevices");
        fs::create_directories(prefix / "drive_c");
        fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
        fs::create_directory_symlink("/", prefix / "dosdevices/z:");
    }
    test::TempDir data;
    const fs::path games = fs::canonical(data.Path()) / "games";
    fs::create_directories(games / "quake/id1");
    fs::create_directories(games / "other");
    fs::create_directory_symlink(games, prefix / "dosdevices/d:");
    fs::create_directory_symlink(games / "quake", prefix / "dosdevices/e:");
    fs::create_directory_symlink(games, prefix / "dosdevices/f:");
    fs::create_directory_symlink(fs::canonical(prefix / "drive_c"), data / "to_c");
    const std::string dataFolder = fs::canonical(data.Path()).string();

    const struct {
        std::string path;
        std::string expected;
    } cases[] = {
        {games.string() + "/quake/id1/Quake.wad", "E:\\id1\\Quake.wad"},
        {games.string() + "/quake/id1/\xC3\x89t\xC3\xA9.wad", "E:\\id1\\\xC3\x89t\xC3\xA9.wad"},
        {games.string() + "/other/Hexen.wad", "D:\\other\\Hexen.wad"},
        {games.string() + "/quake/../other/x.wad", "D:\\other\\x.wad"},
        {games.string() + "/", "D:\\"},
        {fs::canonical(prefix / "drive_c").string() + "/Games/New/id1/Quake.wad", "C:\\Games\\New\\id1\\Quake.wad"},
        {dataFolder + "/to_c/users/Quake.wad", "C:\\users\\Quake.wad"},
        {dataFolder + "/elsewhere/Quake.wad", "Z:" + dataFolder + "/elsewhere/Quake.wad"},
        {"/", "Z:\\"},
    };
    std::vector<std::string> winepath = {"winepath", "-w"};
    for (const auto& c : cases) {
        std::string drivePath;
        const WineResult result = DrivePathInPrefix(prefix.string(), c.path, drivePath);
        EXPECT_TRUE(result.Ok()) << c.path << ": " << DescribeFailure(result);
        std::string expected = c.expected;  // a path of this system in it written with '\'
        std::replace(expected.begin(), expected.end(), '/', '\\');
        EXPECT_EQ(drivePath, expected) << c.path;
        winepath.push_back(c.path);
    }
    std::string drivePath;
    EXPECT_EQ(DrivePathInPrefix(prefix.string(), "relative/Quake.wad", drivePath).failure, WineFailure::NoDrive);
    fs::remove(prefix / "dosdevices/z:");
    EXPECT_EQ(DrivePathInPrefix(prefix.string(), dataFolder + "/elsewhere/Quake.wad", drivePath).failure,
              WineFailure::NoDrive);
    fs::create_directory_symlink("/", prefix / "dosdevices/z:");

    if (!withWine) GTEST_SKIP() << "not compared with winepath: " << test::WineMissingReason();
    std::string printed;
    ASSERT_EQ(test::RunInPrefix(prefix, winepath, &printed), 0);
    std::istringstream lines(printed);
    for (const auto& c : cases) {
        std::string line;
        std::getline(lines, line);
        std::string ours;
        DrivePathInPrefix(prefix.string(), c.path, ours);
        EXPECT_EQ(ours, line) << c.path;
    }
}

}  // namespace
}  // namespace moxtrel::platform::wine
