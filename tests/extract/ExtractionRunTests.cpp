#include <gtest/gtest.h>

#include <filesystem>
#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "extract/ExtractionRun.h"
#include "platform/File.h"
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

class ExtractionRun : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir / "quake" / "id1");
        pak0 = fixtures::MakeArchiveOfMaps({{"maps/e1m1.bsp", {MakeMiptex("brick", 16, 16, 1), MakeMiptex("+0lava", 16, 16, 2)}}});
        pak1 = fixtures::MakeArchiveOfMaps({{"maps/e2m1.bsp", {MakeMiptex("brick", 32, 32, 3), MakeMiptex("*water", 16, 16, 4)}},
                          {"maps/e2m2.bsp", {MakeMiptex("wood", 64, 64, 5)}}});
    }
    std::string GameDir() const { return (dir / "quake" / "id1").string() + "/"; }
    void WriteArchives(const std::string& name0 = "PAK0.PAK", const std::string& name1 = "PAK1.PAK") {
        fixtures::WriteBytes(GameDir() + name0, pak0);
        fixtures::WriteBytes(GameDir() + name1, pak1);
    }
    RunResult Run(GameKind game = GameKind::Quake) {
        ExtractionSinks extractionSinks{sinks, sinks, sinks, sinks, [this] { ++workStarted; }};
        return RunExtraction(GameDir(), game, registry, extractionSinks);
    }
    std::vector<std::string> GameDirEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(GameDir())) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    void ExpectOnlyMessage(const std::string& text, const std::string& caption, MessageKind kind) {
        ASSERT_EQ(sinks.messages.size(), 1u);
        EXPECT_EQ(sinks.messages[0].text, text);
        EXPECT_EQ(sinks.messages[0].caption, caption);
        EXPECT_EQ(sinks.messages[0].kind, kind);
    }

    TempDir dir;
    test::CurrentDirectoryGuard cwd;
    platform::StoreRegistry registry{(dir / "registry.reg").string()};
    Bytes pak0, pak1;
    RecordingSinks sinks;
    int workStarted = 0;
};

TEST_F(ExtractionRun, WritesThePackageBesideTheArchivesAndSummarisesIt) {
    WriteArchives();
    RunResult result = Run();
    ASSERT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_TRUE(sinks.messages.empty());
    EXPECT_EQ(workStarted, 1);
    EXPECT_EQ(result.summary.fileName, "Quake.wad");
    EXPECT_EQ(result.summary.total, 4);
    EXPECT_EQ(result.summary.simple, 2);
    EXPECT_EQ(result.summary.animated, 2);
    Bytes wad = fixtures::ReadBytes(GameDir() + "Quake.wad");
    EXPECT_EQ(result.summary.length, static_cast<std::int64_t>(wad.size()));
    EXPECT_EQ(fixtures::ReadInt32(wad, 4), 4);
    EXPECT_EQ(sinks.statuses.back(), ExtractionCompleteStatus);
    EXPECT_EQ(sinks.positions.back(), 0);
    EXPECT_EQ(fs::current_path().string() + "/", GameDir()) << "the game directory stays current";
    EXPECT_EQ(GameDirEntries(), (std::vector<std::string>{"PAK0.PAK", "PAK1.PAK", "Quake.wad"}));

    // The texture found first, in PAK0, is the one in the package.
    Bytes brick = MakeMiptex("brick", 16, 16, 1);
    EXPECT_TRUE(std::equal(brick.begin(), brick.end(), wad.begin() + 12));
}

TEST_F(ExtractionRun, HexenGivesHexenWad) {
    WriteArchives();
    EXPECT_EQ(Run(GameKind::HexenII).summary.fileName, "Hexen.wad");
    EXPECT_EQ(GameDirEntries(), (std::vector<std::string>{"Hexen.wad", "PAK0.PAK", "PAK1.PAK"}));
}

TEST_F(ExtractionRun, FindsArchivesSpelledInLowerCase) {
    WriteArchives("pak0.pak", "Pak1.Pak");
    EXPECT_EQ(Run().outcome, RunOutcome::Completed);
    EXPECT_TRUE(fs::exists(GameDir() + "Quake.wad"));
}

TEST_F(ExtractionRun, EachFailureBeforeWritingShowsItsMessageAndWritesNothing) {
    fs::remove_all(dir / "quake");
    EXPECT_EQ(Run().outcome, RunOutcome::Failed);
    ExpectOnlyMessage("Invalid file path", "Extraction Error", MessageKind::Plain);

    fs::create_directories(GameDir());
    sinks = {};
    EXPECT_EQ(Run().outcome, RunOutcome::Failed);
    ExpectOnlyMessage("Could not open pak0.pak file.", "File IO error", MessageKind::Exclamation);

    fixtures::WriteBytes(GameDir() + "PAK0.PAK", pak0);
    sinks = {};
    EXPECT_EQ(Run().outcome, RunOutcome::Failed);
    ExpectOnlyMessage("Could not open pak1.pak file.", "File IO error", MessageKind::Exclamation);
    EXPECT_EQ(workStarted, 0);
    EXPECT_TRUE(sinks.statuses.empty());
    EXPECT_TRUE(sinks.ranges.empty());
    EXPECT_FALSE(fs::exists(dir / "registry.reg"));
}

TEST_F(ExtractionRun, InvalidFirstArchiveStillGivesAPackageOfTheSecond) {
    pak0[1] = 'X';
    WriteArchives();
    RunResult result = Run();
    ASSERT_EQ(result.outcome, RunOutcome::Completed);
    ExpectOnlyMessage("Invalid Pak file.", "File IO Error", MessageKind::Exclamation);
    EXPECT_EQ(result.summary.total, 3);
}

TEST_F(ExtractionRun, ReplacesAnEarlierPackage) {
    WriteArchives();
    fixtures::WriteBytes(GameDir() + "Quake.wad", Bytes(100000, 1));
    RunResult result = Run();
    ASSERT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(static_cast<std::int64_t>(fs::file_size(GameDir() + "Quake.wad")), result.summary.length);
}

// A limit on file size or on open files, set in a forked child, is POSIX's
// alone: Windows has neither.
#ifndef _WIN32

// Runs the extraction in a child process under `limit` and returns what the
// child saw: its outcome and the first message's caption and text.
struct ChildRun {
    int outcome = -1;
    std::string caption;
    std::string text;
};

ChildRun RunInChild(const std::string& gameDir, platform::Registry& registry, const std::function<void()>& limit) {
    int pipeEnds[2];
    EXPECT_EQ(::pipe(pipeEnds), 0);
    pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        limit();
        RecordingSinks sinks;
        ExtractionSinks extractionSinks{sinks, sinks, sinks, sinks, {}};
        RunResult result = RunExtraction(gameDir, GameKind::Quake, registry, extractionSinks);
        std::string report = sinks.messages.empty() ? std::string("\n")
                                                    : sinks.messages[0].caption + "\n" + sinks.messages[0].text;
        ssize_t ignored = ::write(pipeEnds[1], report.data(), report.size());
        (void)ignored;
        ::_exit(static_cast<int>(result.outcome));
    }
    ::close(pipeEnds[1]);
    std::string report;
    char buffer[256];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) report.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ChildRun run;
    run.outcome = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::size_t newline = report.find('\n');
    run.caption = report.substr(0, newline);
    if (newline != std::string::npos) run.text = report.substr(newline + 1);
    return run;
}

TEST_F(ExtractionRun, DiskFullWhileWritingLeavesTheOldPackageAndNoTemporaryFile) {
    WriteArchives();
    Bytes old(5000, 7);
    fixtures::WriteBytes(GameDir() + "Quake.wad", old);
    ChildRun run = RunInChild(GameDir(), registry, [] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit small{2000, 2000};
        ::setrlimit(RLIMIT_FSIZE, &small);
    });
    EXPECT_EQ(run.outcome, static_cast<int>(RunOutcome::Abandoned));
    EXPECT_EQ(run.caption, "File IO error");
    EXPECT_EQ(run.text, "Error accessing Quake.wad: File too large");
    EXPECT_EQ(fixtures::ReadBytes(GameDir() + "Quake.wad"), old);
    EXPECT_EQ(GameDirEntries(), (std::vector<std::string>{"PAK0.PAK", "PAK1.PAK", "Quake.wad"}));
    EXPECT_FALSE(fs::exists(dir / "registry.reg")) << "nothing is registered when nothing was written";
}

TEST_F(ExtractionRun, PackageThatCannotBeCreatedShowsItsMessage) {
#ifdef __SANITIZE_ADDRESS__
    // The sanitizers' runtime opens descriptors of its own while it checks a
    // call, so it cannot work under this limit. FaultInjection's read-only
    // game directory shows the same message in sanitizer builds.
    GTEST_SKIP() << "no spare file descriptor for the sanitizer runtime";
#endif
    WriteArchives();
    // Leave room for the two archives and nothing more, whoever runs the test.
    ChildRun run = RunInChild(GameDir(), registry, [] {
        int first = ::open("/dev/null", O_RDONLY);
        int second = ::open("/dev/null", O_RDONLY);
        ::close(first);
        ::close(second);
        rlimit tight{};
        ::getrlimit(RLIMIT_NOFILE, &tight);
        tight.rlim_cur = static_cast<rlim_t>(second + 1);
        ::setrlimit(RLIMIT_NOFILE, &tight);
    });
    EXPECT_EQ(run.outcome, static_cast<int>(RunOutcome::Failed));
    EXPECT_EQ(run.caption, "File IO error");
    EXPECT_EQ(run.text, "Could not create wad file.");
    EXPECT_EQ(GameDirEntries(), (std::vector<std::string>{"PAK0.PAK", "PAK1.PAK"}));
}

#endif

}  // namespace
}  // namespace moxtrel
