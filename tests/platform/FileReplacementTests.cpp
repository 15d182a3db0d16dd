// The crash-safe replacement: the target is all old or all new, and no
// temporary file is left behind whatever happens.
#include "platform/FileReplacement.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "support/TempDir.h"

namespace moxtrel::platform {
namespace {

namespace fs = std::filesystem;
using Access = FileReplacement::NewFileAccess;

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::size_t EntriesIn(const fs::path& dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

void Replace(FileReplacement& replacement, const fs::path& target, std::string_view text, Access access) {
    ASSERT_TRUE(replacement.Begin(target.string(), ".part-", access));
    replacement.Output().Write(text.data(), text.size());
}

TEST(FileReplacement, CommitPutsTheNewContentInPlaceWithTheChosenPermissions) {
    test::TempDir dir;
    const fs::path target = dir / "store.reg";
    {
        FileReplacement first;
        Replace(first, target, "new", Access::OwnerOnly);
        first.Commit();
    }
    EXPECT_EQ(Contents(target), "new");
    // Windows keeps no owner and group rights, only a read-only flag.
#ifndef _WIN32
    EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif
    FileReplacement second;
    Replace(second, target, "newer", Access::OwnerOnly);
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
        Replace(dropped, target, "half", Access::Usual);
        dropped.Seal();
    }
    EXPECT_EQ(Contents(target), "old");
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);

    // A folder in the target's place cannot be renamed over.
    const fs::path folder = dir / "folder";
    fs::create_directories(folder / "inside");
    FileReplacement blocked;
    Replace(blocked, folder, "new", Access::Usual);
    EXPECT_THROW(blocked.Commit(), FileError);
    EXPECT_EQ(EntriesIn(dir.Path()), 2u);

    FileReplacement nowhere;
    EXPECT_FALSE(nowhere.Begin((dir / "missing" / "Quake.wad").string(), ".part-", Access::Usual));
    EXPECT_EQ(nowhere.LastOsError(), ENOENT);
}

TEST(FileReplacement, ATargetThatNobodyMayWriteIsRefusedBeforeAnythingIsMade) {
    test::TempDir dir;
    const fs::path target = dir / "Quake.wad";
    std::ofstream(target) << "old";
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    FileReplacement replacement;
    EXPECT_FALSE(replacement.Begin(target.string(), ".part-"));
    EXPECT_EQ(replacement.LastOsError(), EACCES);
    EXPECT_EQ(Contents(target), "old");
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(ReplaceFileContent, WritesTheWholeFileOrFailsNamingItWithTheOldContentLeft) {
    test::TempDir dir;
    const fs::path target = dir / "sheet.png";
    std::ofstream(target) << "old";
    ReplaceFileContent(target.string(), "new content", 11);
    EXPECT_EQ(Contents(target), "new content");

    // A folder in the target's place cannot be renamed over.
    const fs::path folder = dir / "folder";
    fs::create_directories(folder / "inside");
    for (const fs::path& bad : {folder, dir / "missing" / "sheet.png"}) {
        try {
            ReplaceFileContent(bad.string(), "new", 3);
            ADD_FAILURE() << "no error for " << bad;
        } catch (const FileError& error) {
            EXPECT_EQ(error.FileName(), bad.string());
        }
    }
    EXPECT_EQ(EntriesIn(dir.Path()), 2u);  // no temporary file left
}

#ifndef _WIN32

TEST(FileReplacement, AReplacedFileKeepsItsModeAndWherePermittedItsOwnerAndGroup) {
    // Only a privileged process may give a file to another owner.
    const bool mayChangeOwner = ::geteuid() == 0;
    for (Access access : {Access::Usual, Access::OwnerOnly}) {
        test::TempDir dir;
        const fs::path target = dir / "Quake.wad";
        std::ofstream(target) << "old";
        ASSERT_EQ(::chmod(target.c_str(), 0604), 0);
        if (mayChangeOwner) {
            ASSERT_EQ(::chown(target.c_str(), 4242, 4343), 0);
        }
        FileReplacement replacement;
        Replace(replacement, target, "new", access);
        replacement.Commit();
        struct stat info {};
        ASSERT_EQ(::stat(target.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0604u);
        if (mayChangeOwner) {
            EXPECT_EQ(info.st_uid, 4242u);
            EXPECT_EQ(info.st_gid, 4343u);
        }
    }
}

// How the interrupted program ended: the signal that killed it, or 1000 plus
// its exit status.
int RunInterrupted(const char* mode, const fs::path& target, int signal) {
    const std::string number = std::to_string(signal);
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl(MOXTREL_INTERRUPTED_REPLACEMENT_PATH, MOXTREL_INTERRUPTED_REPLACEMENT_PATH, mode, target.c_str(),
                number.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child) return -1;
    return WIFSIGNALED(status) ? WTERMSIG(status) : 1000 + WEXITSTATUS(status);
}

TEST(FileReplacement, AnInterruptLeavesTheOldTargetAloneAndStillEndsTheProcessByTheSignal) {
    struct Case {
        const char* mode;
        int signal;
        int ending;
    };
    // "watched" stands for a named temporary file: on a file system without
    // unnamed files, or in the moment before the rename.
    for (const Case& c : {Case{"replace", SIGTERM, SIGTERM}, Case{"replace", SIGINT, SIGINT},
                          Case{"replace", SIGHUP, SIGHUP}, Case{"watched", SIGTERM, SIGTERM},
                          Case{"watched", SIGINT, SIGINT}}) {
        SCOPED_TRACE(std::string(c.mode) + " " + strsignal(c.signal));
        test::TempDir dir;
        const fs::path target = dir / "Quake.wad";
        std::ofstream(target) << "old";
        EXPECT_EQ(RunInterrupted(c.mode, target, c.signal), c.ending);
        EXPECT_EQ(Contents(target), "old");
        EXPECT_EQ(EntriesIn(dir.Path()), 1u);
    }
    // A handler the program installed itself is left to do its work.
    test::TempDir dir;
    EXPECT_EQ(RunInterrupted("own-handler", dir / "Quake.wad", SIGTERM), 1042);
}

#ifdef O_TMPFILE
TEST(FileReplacement, AReplacementInProgressHasNoNameInTheFolder) {
    test::TempDir dir;
    const int probe = ::open(dir.Path().c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (probe < 0) GTEST_SKIP() << "the file system of " << dir.Path() << " cannot hold unnamed files";
    ::close(probe);
    const fs::path target = dir / "Quake.wad";
    std::ofstream(target) << "old";
    FileReplacement replacement;
    Replace(replacement, target, "new", Access::Usual);
    replacement.Seal();
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
    EXPECT_FALSE(fs::exists(replacement.TemporaryPath()));
    replacement.Commit();
    EXPECT_EQ(Contents(target), "new");
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}
#endif

#endif

}  // namespace
}  // namespace moxtrel::platform
