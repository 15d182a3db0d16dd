// Extraction runs disturbed from outside while they work: archives cut short
// or replaced on disk, a game directory that cannot be written or goes away.
// Whatever happens, the user is told, the package an earlier run wrote stays
// as it was, no temporary file is left behind, and the registry is touched
// only when a new package was written.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <utility>
#ifndef _WIN32
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "extract/ExtractionRun.h"
#include "extract/WadWriter.h"
#include "platform/StoreRegistry.h"
#include "support/RecordingSinks.h"
#include "support/TempDir.h"
#include "tools/GameWriter.h"

namespace moxtrel {
namespace {

namespace fs = std::filesystem;
using fixtures::Bytes;
using fixtures::MakeMiptex;
using test::RecordingSinks;
using test::TempDir;
using ::testing::StartsWith;

// A store with one free texture-pack slot: a run that writes a package
// registers it there, so an unchanged store shows that nothing was registered.
constexpr const char* StoreWithFreeSlot =
    "REGEDIT4\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack0]\n"
    "\"name\"=\"\"\n";

// Sinks that disturb the game's files once, when the writer starts copying
// the harvested records: after both archives were read, before any pixel.
class InterferingSinks : public RecordingSinks {
public:
    std::function<void()> beforeCopy;

    void SetStatus(const std::string& text) override {
        RecordingSinks::SetStatus(text);
        if (text == ExtractingStatus && beforeCopy) std::exchange(beforeCopy, {})();
    }
};

class FaultInjection : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(GameDir());
        fixtures::WriteBytes(GameDir() + "PAK0.PAK",
                             fixtures::MakeArchiveOfMaps({{"maps/e1m1.bsp", {MakeMiptex("brick", 64, 64, 1), MakeMiptex("+0lava", 64, 64, 2)}}}));
        fixtures::WriteBytes(GameDir() + "PAK1.PAK",
                             fixtures::MakeArchiveOfMaps({{"maps/e2m1.bsp", {MakeMiptex("*water", 64, 64, 3), MakeMiptex("wood", 128, 128, 4)}},
                                            {"maps/e2m2.bsp", {MakeMiptex("metal", 64, 64, 5)}}}));
        fixtures::WriteBytes(GameDir() + "Quake.wad", oldPackage);
        fixtures::WriteBytes(StorePath(), Bytes(StoreWithFreeSlot, StoreWithFreeSlot + std::strlen(StoreWithFreeSlot)));
    }

    std::string GameDir() const { return (dir / "quake" / "id1").string() + "/"; }
    std::string StorePath() const { return (dir / "registry.reg").string(); }

    RunResult Run() {
        ExtractionSinks extractionSinks{sinks, sinks, sinks, sinks, workStarted};
        return RunExtraction(GameDir(), GameKind::Quake, registry, extractionSinks);
    }

    std::vector<std::string> GameDirEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(GameDir())) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // What must hold after any run that did not write a new package.
    void ExpectNothingChanged() {
        EXPECT_EQ(fixtures::ReadBytes(GameDir() + "Quake.wad"), oldPackage) << "the earlier package is intact";
        EXPECT_EQ(GameDirEntries(), (std::vector<std::string>{"PAK0.PAK", "PAK1.PAK", "Quake.wad"}))
            << "no temporary file is left";
        Bytes store = fixtures::ReadBytes(StorePath());
        EXPECT_EQ(std::string(store.begin(), store.end()), StoreWithFreeSlot) << "nothing was registered";
    }

    void ExpectOneMessage(const std::string& caption, const ::testing::Matcher<std::string>& text) {
        ASSERT_EQ(sinks.messages.size(), 1u);
        EXPECT_EQ(sinks.messages[0].caption, caption);
        EXPECT_THAT(sinks.messages[0].text, text);
        EXPECT_EQ(sinks.messages[0].kind, MessageKind::Exclamation);
    }

    TempDir dir;
    test::CurrentDirectoryGuard cwd;
    platform::StoreRegistry registry{StorePath()};
    const Bytes oldPackage = Bytes(3000, 0x5A);
    InterferingSinks sinks;
    std::function<void()> workStarted;
};

TEST_F(FaultInjection, UndisturbedRunReplacesThePackageAndRegistersIt) {
    // The yardstick for the cases below: the same game, left alone, does
    // change the package and the store.
    ASSERT_EQ(Run().outcome, RunOutcome::Completed);
    EXPECT_NE(fixtures::ReadBytes(GameDir() + "Quake.wad"), oldPackage);
    Bytes store = fixtures::ReadBytes(StorePath());
    EXPECT_THAT(std::string(store.begin(), store.end()), ::testing::HasSubstr("\"name\"=\"Quake.wad\""));
}

// POSIX lets another program cut short or remove a file while the run has it
// open; Windows refuses to, since the run shares its archives for reading only.
#ifndef _WIN32

TEST_F(FaultInjection, ArchiveCutShortBetweenHarvestAndCopyAbandonsTheRun) {
    sinks.beforeCopy = [this] { fs::resize_file(GameDir() + "PAK1.PAK", 100); };
    EXPECT_EQ(Run().outcome, RunOutcome::Abandoned);
    ExpectOneMessage("File IO error", "Error accessing PAK1.PAK: the archive has become shorter since it was read");
    EXPECT_NE(sinks.statuses.back(), ExtractionCompleteStatus);
    ExpectNothingChanged();
}

TEST_F(FaultInjection, ArchiveCutShortBeforeTheHarvestGivesAPackageOfTheOtherArchive) {
    // An archive cut short loses its directory, which comes last: the harvest
    // says so and the package holds what the other archive has.
    workStarted = [this] { fs::resize_file(GameDir() + "PAK1.PAK", fs::file_size(GameDir() + "PAK1.PAK") / 2); };
    RunResult result = Run();
    ASSERT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_TRUE(sinks.messages.empty());
    ASSERT_EQ(sinks.warnings.size(), 1u);
    EXPECT_EQ(sinks.warnings[0].archive, "PAK1.PAK");
    EXPECT_EQ(result.summary.total, 2);
    EXPECT_EQ(result.summary.length, static_cast<std::int64_t>(fs::file_size(GameDir() + "Quake.wad")));
}

TEST_F(FaultInjection, ArchiveRemovedOrReplacedDuringTheRunIsStillReadWhole) {
    // The run holds both archives open from the start, so removing one (or
    // putting another file in its place, as an update would) changes nothing
    // for the run: the package is the one the untouched archives give.
    ASSERT_EQ(Run().outcome, RunOutcome::Completed);
    Bytes expected = fixtures::ReadBytes(GameDir() + "Quake.wad");
    fixtures::WriteBytes(GameDir() + "Quake.wad", oldPackage);

    sinks = {};
    sinks.beforeCopy = [this] {
        fs::remove(GameDir() + "PAK0.PAK");
        fs::remove(GameDir() + "PAK1.PAK");
        fixtures::WriteBytes(GameDir() + "PAK1.PAK", fixtures::MakeArchiveOfMaps({{"maps/new.bsp", {MakeMiptex("new", 16, 16, 9)}}}));
    };
    ASSERT_EQ(Run().outcome, RunOutcome::Completed);
    EXPECT_TRUE(sinks.messages.empty());
    EXPECT_EQ(fixtures::ReadBytes(GameDir() + "Quake.wad"), expected);
    EXPECT_EQ(GameDirEntries(), (std::vector<std::string>{"PAK1.PAK", "Quake.wad"}));
}

TEST_F(FaultInjection, GameDirectoryRemovedDuringTheRunAbandonsItAndRegistersNothing) {
    sinks.beforeCopy = [this] { fs::remove_all(dir / "quake"); };
    EXPECT_EQ(Run().outcome, RunOutcome::Abandoned);
    ExpectOneMessage("File IO error", StartsWith("Error accessing Quake.wad: "));
    EXPECT_FALSE(fs::exists(dir / "quake"));
    Bytes store = fixtures::ReadBytes(StorePath());
    EXPECT_EQ(std::string(store.begin(), store.end()), StoreWithFreeSlot);
}

#else

TEST_F(FaultInjection, ArchivesTheRunHoldsCannotBeCutShortOrRemoved) {
    ASSERT_EQ(Run().outcome, RunOutcome::Completed);
    const Bytes expected = fixtures::ReadBytes(GameDir() + "Quake.wad");
    for (const std::function<void()>& disturb : std::vector<std::function<void()>>{
             [this] { fs::resize_file(GameDir() + "PAK1.PAK", 100); },
             [this] { fs::remove(GameDir() + "PAK0.PAK"); },
         }) {
        fixtures::WriteBytes(GameDir() + "Quake.wad", oldPackage);
        sinks = {};
        bool refused = false;
        sinks.beforeCopy = [&] {
            try {
                disturb();
            } catch (const fs::filesystem_error&) {
                refused = true;
            }
        };
        ASSERT_EQ(Run().outcome, RunOutcome::Completed);
        EXPECT_TRUE(refused);
        EXPECT_TRUE(sinks.messages.empty());
        EXPECT_EQ(fixtures::ReadBytes(GameDir() + "Quake.wad"), expected);
    }
}

#endif

// A read-only game directory is made with a mount namespace and a read-only
// bind mount, which only Linux has.
#ifndef _WIN32

// Gives this process a mount namespace of its own, so mounts made in it are
// seen by nobody else: as root directly, otherwise inside a user namespace
// that maps the caller to root.
bool EnterPrivateMountNamespace() {
    if (::unshare(CLONE_NEWNS) != 0) {
        uid_t uid = ::getuid();
        gid_t gid = ::getgid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
        auto put = [](const char* path, const std::string& text) {
            int fd = ::open(path, O_WRONLY | O_CLOEXEC);
            bool ok = fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
            if (fd >= 0) ::close(fd);
            return ok;
        };
        if (!put("/proc/self/setgroups", "deny") || !put("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !put("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
            return false;
        }
    }
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// Makes `path` a read-only mount of itself. The flags the mount already has
// are kept, since a user namespace may not drop them.
bool MountReadOnly(const std::string& path) {
    struct statvfs info {};
    if (::mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) != 0 || ::statvfs(path.c_str(), &info) != 0) {
        return false;
    }
    unsigned long flags = MS_REMOUNT | MS_BIND | MS_RDONLY;
    if (info.f_flag & ST_NOSUID) flags |= MS_NOSUID;
    if (info.f_flag & ST_NODEV) flags |= MS_NODEV;
    if (info.f_flag & ST_NOEXEC) flags |= MS_NOEXEC;
    if (info.f_flag & ST_NOATIME) flags |= MS_NOATIME;
    if (info.f_flag & ST_NODIRATIME) flags |= MS_NODIRATIME;
    if (info.f_flag & ST_RELATIME) flags |= MS_RELATIME;
    return ::mount(nullptr, path.c_str(), nullptr, flags, nullptr) == 0;
}

constexpr int CannotMount = 99;

TEST_F(FaultInjection, ReadOnlyGameDirectoryCannotTakeThePackage) {
    // Permissions do not stop root, so the game directory is made a read-only
    // mount, in a child process with a mount namespace of its own.
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(report[0]);
        if (!EnterPrivateMountNamespace() || !MountReadOnly(GameDir())) ::_exit(CannotMount);
        RecordingSinks childSinks;
        ExtractionSinks extractionSinks{childSinks, childSinks, childSinks, childSinks, {}};
        RunResult result = RunExtraction(GameDir(), GameKind::Quake, registry, extractionSinks);
        for (const auto& message : childSinks.messages) {
            std::string line = message.caption + ": " + message.text + "\n";
            if (::write(report[1], line.data(), line.size()) < 0) break;
        }
        ::_exit(static_cast<int>(result.outcome));
    }
    ::close(report[1]);
    std::string messages;
    char buffer[256];
    for (ssize_t got; (got = ::read(report[0], buffer, sizeof buffer)) > 0;) messages.append(buffer, static_cast<std::size_t>(got));
    ::close(report[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == CannotMount) GTEST_SKIP() << "no mount namespace can be made here";

    EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(RunOutcome::Failed));
    EXPECT_EQ(messages, "File IO error: Could not create wad file.\n");
    ExpectNothingChanged();
}

#endif

}  // namespace
}  // namespace moxtrel
