#include <gtest/gtest.h>

#include "locate/DriveMapFixture.h"
#include "locate/GameDirectory.h"
#include "platform/File.h"
#include "support/TempDir.h"

namespace moxtrel::locate {
namespace {

using test::GameInstall;
using test::Native;
using test::WriteGame;

TEST(GameDirectory, IsTheFolderWithOneSlashAndTheDataDirectoryOfTheGame) {
    // What is added is written with the system's separator; the folder given stays as it is.
    EXPECT_EQ(ComposeGameDirectory("/games/Quake", GameKind::Quake), "/games/Quake" + Native("/id1/"));
    EXPECT_EQ(ComposeGameDirectory("/", GameKind::Quake), "/" + Native("id1/"));
    EXPECT_EQ(ComposeGameDirectory("/media/usb/", GameKind::HexenII), "/media/usb/" + Native("data1/"));
    EXPECT_EQ(ExecutableFor(GameKind::Quake), "quake.exe");
    EXPECT_EQ(ExecutableFor(GameKind::HexenII), "hexen2.exe");
}

TEST(GameDirectory, WithBothArchivesIsFoundAndBecomesCurrentInTheSpellingOnDisk) {
    test::TempDir dir;
    test::CurrentDirectoryGuard cwd;
    WriteGame((dir / "Quake").string(), {.dataDirectory = "ID1", .pak0 = "pak0.pak", .pak1 = "Pak1.PAK"});

    std::string gameDir = ComposeGameDirectory((dir / "Quake").string(), GameKind::Quake);
    EXPECT_EQ(TestGameDirectory(gameDir), CandidateResult::Found);
    EXPECT_EQ(gameDir, Native((dir / "Quake" / "ID1").string() + "/"));
    EXPECT_EQ(platform::GetCurrentDirectory(), gameDir);
}

TEST(GameDirectory, WithOneArchiveIsCurrentButNotFound) {
    test::TempDir dir;
    test::CurrentDirectoryGuard cwd;
    WriteGame((dir / "only0").string(), {.pak1 = ""});
    WriteGame((dir / "only1").string(), {.pak0 = ""});

    std::string only0 = ComposeGameDirectory((dir / "only0").string(), GameKind::Quake);
    EXPECT_EQ(TestGameDirectory(only0), CandidateResult::ArchivesMissing);
    EXPECT_EQ(platform::GetCurrentDirectory(), only0);
    std::string only1 = ComposeGameDirectory((dir / "only1").string(), GameKind::Quake);
    EXPECT_EQ(TestGameDirectory(only1), CandidateResult::ArchivesMissing);
}

TEST(GameDirectory, ThatCannotBeEnteredLeavesTheCurrentDirectoryAlone) {
    test::TempDir dir;
    test::CurrentDirectoryGuard cwd;
    WriteGame((dir / "Quake").string(), {.dataDirectory = ""});
    std::string before = platform::GetCurrentDirectory();

    std::string gameDir = ComposeGameDirectory((dir / "Quake").string(), GameKind::Quake);
    EXPECT_EQ(TestGameDirectory(gameDir), CandidateResult::NotEnterable);
    std::string empty;
    EXPECT_EQ(TestGameDirectory(empty), CandidateResult::NotEnterable);
    EXPECT_EQ(platform::GetCurrentDirectory(), before);
}

}  // namespace
}  // namespace moxtrel::locate
