#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "locate/DriveMapFixture.h"
#include "locate/DriveScan.h"
#include "locate/GameDirectory.h"
#include "platform/File.h"
#include "platform/Text.h"

namespace moxtrel::locate {
namespace {

namespace fs = std::filesystem;
using test::DriveMap;
using test::GameInstall;
using test::MakeDirectories;
using test::Native;
using test::Touch;
using test::WriteGame;

class RecordingObserver : public DirectoryObserver {
public:
    void DirectoryEntered(std::string_view path) override {
        entered.emplace_back(path);
        if (onEnter) onEnter(entered.back());
    }
    std::vector<std::string> entered;
    std::function<void(const std::string&)> onEnter;
};

constexpr DriveKinds HardDrives{.hard = true};
constexpr DriveKinds AllKinds{.removable = true, .hard = true, .network = true};

class DriveScanTest : public ::testing::Test {
protected:
    SearchOutcome Search(const DriveKinds& kinds, GameKind game = GameKind::Quake) {
        return SearchDrives(map.Drives(), ExecutableFor(game), game, kinds, observer, gameDir);
    }

    DriveMap map;
    test::CurrentDirectoryGuard cwd;
    RecordingObserver observer;
    std::string gameDir = "untouched";
};

TEST_F(DriveScanTest, FindsAGameOnTheRootOfTheFirstFixedDrive) {
    map.AddDrive("a", "removable", std::nullopt, /*withMedia=*/false);
    std::string c = map.AddDrive("c", "fixed");
    std::string d = map.AddDrive("d", "fixed");
    WriteGame(c);
    WriteGame(d + "other");

    EXPECT_EQ(Search(HardDrives), SearchOutcome::Found);
    EXPECT_EQ(gameDir, Native(c + "id1/"));
    EXPECT_EQ(platform::GetCurrentDirectory(), gameDir);
    for (const std::string& path : observer.entered) {
        EXPECT_FALSE(platform::IsSeparator(path.back()));
        EXPECT_EQ(path.rfind(c, 0), 0u) << path << ": nothing after the first hit is scanned";
    }
}

TEST_F(DriveScanTest, ScansOnlyTheTickedKindsAndNeverDiscsOrRamDisks) {
    std::string disc = map.AddDrive("disc", "cdrom");
    std::string ram = map.AddDrive("ram", "ramdisk");
    std::string other = map.AddDrive("other", "unknown");
    std::string net = map.AddDrive("net", "remote");
    std::string stick = map.AddDrive("stick", "removable");
    for (const std::string& root : {disc, ram, other, net, stick}) WriteGame(root + "quake");

    EXPECT_EQ(Search(HardDrives), SearchOutcome::ExecutableNotFound);
    EXPECT_EQ(gameDir, "untouched");
    EXPECT_TRUE(observer.entered.empty());

    EXPECT_EQ(Search({.network = true}), SearchOutcome::Found);
    EXPECT_EQ(gameDir, Native(net + "quake/id1/"));
    EXPECT_EQ(Search({.removable = true}), SearchOutcome::Found);
    EXPECT_EQ(gameDir, Native(stick + "quake/id1/"));
    EXPECT_EQ(Search(AllKinds), SearchOutcome::Found);
    EXPECT_EQ(gameDir, Native(net + "quake/id1/")) << "drives are taken in drive order";
}

TEST_F(DriveScanTest, WalksDepthFirstInListingOrderAndStopsAtTheFirstExecutable) {
    std::string c = map.AddDrive("c", "fixed");
    for (const char* dir : {"alpha/one", "alpha/two/deeper", "beta/x", "gamma", "delta/y/z", "epsilon"}) {
        MakeDirectories(c + dir);
    }
    for (const char* file : {"alpha/notes.txt", "beta/x/QUAKE.EXE", "gamma/quake.exe", "delta/y/Quake.Exe",
                             "epsilon/readme", "quake.exe"}) {
        Touch(c + file);
    }
    MakeDirectories(c + "zeta/quake.exe");  // a directory of that name is entered, not matched

    // The same walk by another hand: pre-order, as the file system lists.
    std::vector<std::string> expected;
    std::string hit;
    for (auto it = fs::recursive_directory_iterator(c); it != fs::recursive_directory_iterator(); ++it) {
        if (it->is_directory() && !it->is_symlink()) {
            expected.push_back(it->path().string());
        } else if (platform::EqualsIgnoringCase(it->path().filename().string(), "quake.exe")) {
            hit = Native(it->path().parent_path().string() + "/");
            break;
        }
    }
    ASSERT_FALSE(hit.empty());

    ExecutableScan scan("quake.exe", observer, map.Drives().MountPoints());
    ASSERT_TRUE(scan.ScanVolume(c));
    EXPECT_EQ(scan.FoundDirectory(), hit);
    EXPECT_EQ(observer.entered, expected);
}

TEST_F(DriveScanTest, LetsTheFirstExecutableDecideEvenWhenACompleteCopyComesLater) {
    std::string c = map.AddDrive("c", "fixed");
    std::string d = map.AddDrive("d", "fixed");
    WriteGame(c + "Quake", {.pak1 = ""});
    WriteGame(d + "Quake");

    EXPECT_EQ(Search(HardDrives), SearchOutcome::ArchivesMissing);
    EXPECT_EQ(gameDir, Native(c + "Quake/id1/")) << "the incomplete data directory is kept";
    EXPECT_EQ(platform::GetCurrentDirectory(), gameDir);
}

TEST_F(DriveScanTest, EmptiesTheResultWhenTheExecutableHasNoDataDirectory) {
    std::string c = map.AddDrive("c", "fixed");
    WriteGame(c + "Quake", {.dataDirectory = ""});
    EXPECT_EQ(Search(HardDrives), SearchOutcome::NoDataDirectory);
    EXPECT_EQ(gameDir, "");
}

TEST_F(DriveScanTest, LooksForTheHexenExecutableAndItsDataDirectory) {
    std::string c = map.AddDrive("c", "fixed");
    WriteGame(c + "quake");
    WriteGame(c + "hexen", {.executable = "HEXEN2.EXE", .dataDirectory = "Data1"});
    EXPECT_EQ(Search(HardDrives, GameKind::HexenII), SearchOutcome::Found);
    EXPECT_EQ(gameDir, Native(c + "hexen/Data1/"));
}

TEST_F(DriveScanTest, NeverFollowsALinkSoItEndsOnLoopsAndMissesLinkedGames) {
    if (!test::CanMakeSymbolicLinks) GTEST_SKIP() << test::NoSymbolicLinks;
    std::string c = map.AddDrive("c", "fixed");
    std::string elsewhere = map.AddDrive("elsewhere", "unknown");
    WriteGame(elsewhere + "quake");
    MakeDirectories(c + "a/b");
    fs::create_directory_symlink(c, c + "a/b/to-root");
    fs::create_directory_symlink("..", c + "a/up");
    fs::create_directory_symlink(elsewhere + "quake", c + "linked-quake");

    EXPECT_EQ(Search(HardDrives), SearchOutcome::ExecutableNotFound);
    EXPECT_EQ(observer.entered, (std::vector<std::string>{c + "a", c + "a/b"}));
}

TEST_F(DriveScanTest, GoesOnPastDirectoriesThatVanishWhileItScans) {
    std::string c = map.AddDrive("c", "fixed");
    std::string d = map.AddDrive("d", "fixed");
    WriteGame(c + "vanishing");
    WriteGame(d + "quake");
    observer.onEnter = [&](const std::string& path) {
        if (path == c + "vanishing") fs::remove_all(path);
    };
    EXPECT_EQ(Search(HardDrives), SearchOutcome::Found);
    EXPECT_EQ(gameDir, Native(d + "quake/id1/"));
}

// A folder nobody may read needs permissions that bind its owner and a user
// to drop to from root: neither is there under Wine.
#ifndef _WIN32
TEST_F(DriveScanTest, GoesOnPastDirectoriesItMayNotRead) {
    std::string c = map.AddDrive("c", "fixed");
    std::string d = map.AddDrive("d", "fixed");
    WriteGame(c + "locked/quake");
    WriteGame(d + "quake");
    ::chmod((c + "locked").c_str(), 0);

    // Root reads everything, so the scan runs as nobody in a child process.
    fs::permissions(fs::path(c).parent_path().parent_path(), fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::add);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(10);
        RecordingObserver quiet;
        std::string result;
        SearchOutcome outcome = SearchDrives(map.Drives(), "quake.exe", GameKind::Quake, HardDrives, quiet, result);
        bool enteredLocked = std::find(quiet.entered.begin(), quiet.entered.end(), c + "locked") != quiet.entered.end();
        ::_exit(outcome == SearchOutcome::Found && result == d + "quake/id1/" && enteredLocked ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif

TEST_F(DriveScanTest, FindsGamesBelowNamesThatAreNotUtf8) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows keeps names in UTF-16, so every name has a UTF-8 form";
#endif
    std::string c = map.AddDrive("c", "fixed");
    std::string odd = c + "Spiele \xe4\xf6\xfc";
    WriteGame(odd);
    EXPECT_EQ(Search(HardDrives), SearchOutcome::Found);
    EXPECT_EQ(gameDir, Native(odd + "/id1/"));
}

TEST_F(DriveScanTest, FindsGamesBelowNamesInAnyScript) {
    std::string c = map.AddDrive("c", "fixed");
    std::string name = c + "Spiele \xc3\xa4\xc3\xb6\xc3\xbc \xe3\x82\xaf";  // UTF-8: umlauts, a katakana letter
    WriteGame(name);
    EXPECT_EQ(Search(HardDrives), SearchOutcome::Found);
    EXPECT_EQ(gameDir, Native(name + "/id1/"));
    EXPECT_EQ(platform::GetCurrentDirectory(), gameDir);
}

// Folders opened relative to a handle (openat), bind mounts and /dev/shm are
// POSIX's alone.
#ifndef _WIN32

// A chain of `depth` directories named "d" below `base`, made one level at a
// time through handles, since the whole path can be longer than any path the
// system takes. Returns a handle on the deepest one.
int MakeChain(const std::string& base, int depth) {
    int fd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < depth && fd >= 0; ++level) {
        ::mkdirat(fd, "d", 0755);
        int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    return fd;
}

// Cuts a chain made by MakeChain into pieces of at most 500 levels, moved up
// to `base`, so that the test's clean-up can remove them by path.
void CutChain(const std::string& base) {
    int baseFd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY);
    std::string top = "d";
    for (int piece = 1; baseFd >= 0; ++piece) {
        int fd = ::openat(baseFd, top.c_str(), O_RDONLY | O_DIRECTORY);
        for (int level = 1; level < 500 && fd >= 0; ++level) {
            int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = next;
        }
        if (fd < 0) break;
        std::string name = "piece" + std::to_string(piece);
        bool moved = ::renameat(fd, "d", baseFd, name.c_str()) == 0;
        ::close(fd);
        if (!moved) break;
        top = name;
    }
    if (baseFd >= 0) ::close(baseFd);
}

TEST_F(DriveScanTest, EndsABranchTooDeepForAPathAndFindsWhatLiesAboveIt) {
    std::string c = map.AddDrive("c", "fixed");
    std::string d = map.AddDrive("d", "fixed");
    const int tooDeep = 2200;  // "/d" 2200 times is beyond the 4096 bytes of a path
    int bottom = MakeChain(c, tooDeep);
    ASSERT_GE(bottom, 0);
    ::close(::openat(bottom, "quake.exe", O_CREAT | O_WRONLY, 0644));
    ::close(bottom);
    const int deepButReachable = 1000;
    int reachable = MakeChain(d, deepButReachable);
    ASSERT_GE(reachable, 0);
    ::close(::openat(reachable, "quake.exe", O_CREAT | O_WRONLY, 0644));
    ::close(reachable);

    ExecutableScan scan("quake.exe", observer, map.Drives().MountPoints());
    EXPECT_FALSE(scan.ScanVolume(c));
    EXPECT_GT(observer.entered.size(), 1000u);
    EXPECT_LT(observer.entered.size(), static_cast<std::size_t>(tooDeep));
    EXPECT_TRUE(scan.ScanVolume(d));
    EXPECT_EQ(scan.FoundDirectory().size(), d.size() + 2 * deepButReachable);

    CutChain(c);
    CutChain(d);
}

TEST_F(DriveScanTest, StaysOnItsVolumeAndNeverEntersAnotherMount) {
    struct stat dev {};
    struct stat shm {};
    if (::stat("/dev", &dev) != 0 || ::stat("/dev/shm", &shm) != 0 || dev.st_dev == shm.st_dev ||
        ::access("/dev/shm", W_OK) != 0) {
        GTEST_SKIP() << "no separate, writable /dev/shm here";
    }
    char pattern[] = "/dev/shm/moxtrel-scan-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    std::string mounted = pattern;
    WriteGame(mounted + "/quake");

    ExecutableScan scan("quake.exe", observer, map.Drives().MountPoints());
    EXPECT_FALSE(scan.ScanVolume("/dev/"));
    EXPECT_NE(std::find(observer.entered.begin(), observer.entered.end(), "/dev/shm"), observer.entered.end());
    EXPECT_EQ(std::find(observer.entered.begin(), observer.entered.end(), mounted), observer.entered.end());
    EXPECT_TRUE(scan.ScanVolume("/dev/shm/"));
    EXPECT_EQ(scan.FoundDirectory(), Native(mounted + "/quake/"));
    fs::remove_all(mounted);
}

#endif

}  // namespace
}  // namespace moxtrel::locate
