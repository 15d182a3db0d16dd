// The crash-safe replacement: the target is all old or all new, and no
// temporary file is left behind whatever happens.
#include "platform/FileReplacement.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace moxtrel::platform {
namespace {

namespace fs = std::filesystem;
using Permissions = FileReplacement::Permissions;

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::size_t EntriesIn(const fs::path& dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

void Replace(FileReplacement& replacement, const fs::path& target, std::string_view text, Permissions permissions) {
    ASSERT_TRUE(replacement.Begin(target.string(), ".part-", permissions));
    replacement.Output().Write(text.data(), text.size());
}

TEST(FileReplacement, CommitPutsTheNewContentInPlaceWithTheChosenPermissions) {
    test::TempDir dir;
    const fs::path target = dir / "store.reg";
    {
        FileReplacement first;
        Replace(first, target, "new", Permissions::KeepTarget);
        first.Commit();
    }
    EXPECT_EQ(Contents(target), "new");
    // Windows keeps no owner and group rights, only a read-only flag.
#ifndef _WIN32
    EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif
    FileReplacement second;
    Replace(second, target, "newer", Permissions::KeepTarget);
    second.Commit();
    EXPECT_EQ(Contents(target), "newer");
#ifndef _WIN32
    EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(FileReplacement, ADroppedOrFailedReplacementLeavesTheTargetAndNoTemporaryFile) {
    test::TempDir dir;
    const fs::path target = dir / "Quake.wad";
    std::ofstream(target) << "old";
    {
        FileReplacement dropped;
        Replace(dropped, target, "half", Permissions::NewFile);
        dropped.Seal();
    }
    EXPECT_EQ(Contents(target), "old");
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);

    // A folder in the target's place cannot be renamed over.
    const fs::path folder = dir / "folder";
    fs::create_directories(folder / "inside");
    FileReplacement blocked;
    Replace(blocked, folder, "new", Permissions::NewFile);
    EXPECT_THROW(blocked.Commit(), FileError);
    EXPECT_EQ(EntriesIn(dir.Path()), 2u);

    FileReplacement nowhere;
    EXPECT_FALSE(nowhere.Begin((dir / "missing" / "Quake.wad").string(), ".part-", Permissions::NewFile));
    EXPECT_EQ(nowhere.LastOsError(), ENOENT);
}

}  // namespace
}  // namespace moxtrel::platform
