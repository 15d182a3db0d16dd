#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "cli/ExtractCommand.h"
#include "cli/RunCli.h"
#include "support/TempDir.h"
#include "tools/GameWriter.h"

namespace moxtrel::test {
namespace {

using fixtures::Bytes;

constexpr int Side = 64;  // 5480-byte records, so the package is a few KB

Bytes MapOf(const std::vector<std::optional<Bytes>>& slots) {
    return fixtures::MakeBsp(fixtures::MakeTextureLump(slots));
}

// PAK0: "brick", an empty slot, "*water". PAK1: "brick" again with other
// pixels (dropped) and "plank". The package: 3 entries, 2 simple, 1 animated.
Bytes Pak0() {
    return fixtures::MakePak({
        {"default.cfg", {'b', 'i', 'n', 'd'}},
        {"maps/e1m1.bsp", MapOf({fixtures::MakeMiptex("brick", Side, Side, 1), std::nullopt,
                                 fixtures::MakeMiptex("*water", Side, Side, 2)})},
    });
}

Bytes Pak1() {
    return fixtures::MakePak({
        {"maps/e2m1.bsp",
         MapOf({fixtures::MakeMiptex("brick", Side, Side, 9), fixtures::MakeMiptex("plank", Side, Side, 3)})},
    });
}

struct Game {
    TempDir root;
    std::filesystem::path dir = root / "id1";

    Game(const Bytes& pak0, const Bytes& pak1) {
        std::filesystem::create_directory(dir);
        if (!pak0.empty()) fixtures::WriteBytes((dir / "PAK0.PAK").string(), pak0);
        if (!pak1.empty()) fixtures::WriteBytes((dir / "PAK1.PAK").string(), pak1);
    }
    std::string Path() const { return dir.string(); }
};

std::string Summary(const std::string& name, std::int64_t length, int total, int simple, int animated) {
    return "File Name : " + name + "\nFile Size : " + std::to_string(length / 1024) +
           " KB\nTotal Entries in Wad : " + std::to_string(total) + "\nNumber of simple textrues : " +
           std::to_string(simple) + "\nNumber of animated textures : " + std::to_string(animated) + "\n";
}

const char* SlotKey = "[HKEY_CURRENT_USER\\Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack0]";

TEST(ExtractCommand, PrintsOnlyTheSummaryAndRegistersThePackage) {
    Game game(Pak0(), Pak1());
    TempDir config;
    std::string registry = (config / "registry.reg").string();
    std::string store = std::string("REGEDIT4\n\n") + SlotKey + "\n\n";
    fixtures::WriteBytes(registry, Bytes(store.begin(), store.end()));

    // Given without its trailing '/': the registered path still has one before the name.
    CliResult run = RunCli({"extract", game.Path()}, {{"MOXTREL_REGISTRY", registry}});

    EXPECT_EQ(run.exitCode, 0) << run.err;
    auto length = static_cast<std::int64_t>(std::filesystem::file_size(game.dir / "Quake.wad"));
    EXPECT_GE(length, 16 * 1024);
    EXPECT_EQ(run.out, Summary("Quake.wad", length, 3, 2, 1));
    // No terminal: no progress; nothing went wrong; one line says where the package went.
    EXPECT_EQ(run.err, "registered in slot txpack0 of " + registry + "\n");
    Bytes stored = fixtures::ReadBytes(registry);
    std::string text(stored.begin(), stored.end());
    EXPECT_NE(text.find("\"path\"=" + StoreQuoted(Native(game.Path() + "/Quake.wad"))), std::string::npos) << text;
}

TEST(ExtractCommand, AGameDirectoryNamedBeyondAsciiIsReadAndRegisteredAsItIsSpelled) {
    Game game(Pak0(), Pak1());
    // The archives are written under an ASCII name, then moved below one that is not.
    const std::filesystem::path folder = game.root.Path() / std::filesystem::path(u8"Spiele Qu\u00e4ke \u30af");
    std::filesystem::create_directory(folder);
    std::filesystem::rename(game.dir, folder / "id1");
    TempDir config;
    std::string registry = (config / "registry.reg").string();
    std::string store = std::string("REGEDIT4\n\n") + SlotKey + "\n\n";
    fixtures::WriteBytes(registry, Bytes(store.begin(), store.end()));

    CliResult run = RunCli({"extract", (folder / "id1").string()}, {{"MOXTREL_REGISTRY", registry}});

    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / "id1" / "Quake.wad"));
    Bytes stored = fixtures::ReadBytes(registry);
    std::string text(stored.begin(), stored.end());
    EXPECT_NE(text.find("\"path\"=" + StoreQuoted(Native((folder / "id1").string() + "/Quake.wad"))), std::string::npos)
        << text;
}

TEST(ExtractCommand, HexenIIWritesHexenWad) {
    Game game(Pak0(), Pak1());
    CliResult run = RunCli({"extract", game.Path() + "/", "--game", "hexen2"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    auto length = static_cast<std::int64_t>(std::filesystem::file_size(game.dir / "Hexen.wad"));
    EXPECT_EQ(run.out, Summary("Hexen.wad", length, 3, 2, 1));
}

TEST(ExtractCommand, AFailureThatEndsTheRunIsItsMessageOnStderrAndExitCodeOne) {
    struct Case {
        const char* what;
        bool pak0, pak1;
        std::string gameDirSuffix;
        const char* message;
        const char* file;  // named with the system's reason after the message
    };
    for (const Case& c : {
             Case{"no such directory", true, true, "/gone", "Extraction Error: Invalid file path", "/gone/"},
             Case{"PAK0 missing", false, true, "", "File IO error: Could not open pak0.pak file.", "/PAK0.PAK"},
             Case{"PAK1 missing", true, false, "", "File IO error: Could not open pak1.pak file.", "/PAK1.PAK"},
         }) {
        SCOPED_TRACE(c.what);
        Game game(c.pak0 ? Pak0() : Bytes{}, c.pak1 ? Pak1() : Bytes{});
        CliResult run = RunCli({"extract", game.Path() + c.gameDirSuffix});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, std::string(c.message) + " (" + Native(game.Path() + c.file) + ": " + std::strerror(ENOENT) + ")\n");
        EXPECT_FALSE(std::filesystem::exists(game.dir / "Quake.wad"));
    }
}

TEST(ExtractCommand, AnArchiveThatIsNoPakIsReportedAndTheOtherOneStillMakesThePackage) {
    Bytes notAPak = Pak0();
    notAPak[0] = 'X';
    Game game(notAPak, Pak1());
    CliResult run = RunCli({"extract", game.Path()});
    EXPECT_EQ(run.exitCode, 3);
    ASSERT_EQ(Lines(run.err).size(), 3u) << run.err;
    EXPECT_EQ(Lines(run.err)[0],
              "File IO Error: Invalid Pak file. (" + Native(game.Path() + "/PAK0.PAK") + ": it does not begin with \"PACK\")");
    EXPECT_EQ(Lines(run.err)[1], "warning: PAK0.PAK: Invalid Pak file.");
    auto length = static_cast<std::int64_t>(std::filesystem::file_size(game.dir / "Quake.wad"));
    EXPECT_EQ(run.out, Summary("Quake.wad", length, 2, 2, 0));
}

TEST(ExtractCommand, AMalformedMapIsAWarningOnStderrAndTheOtherMapsAreKept) {
    Bytes broken = MapOf({fixtures::MakeMiptex("lost", Side, Side, 4)});
    fixtures::PatchInt32(broken, 20, 0x7FFFFF00);  // texture lump far beyond the archive's end
    Bytes pak0 = fixtures::MakePak({
        {"maps/bad.bsp", broken},
        {"maps/e1m1.bsp", MapOf({fixtures::MakeMiptex("brick", Side, Side, 1)})},
    });
    Game game(pak0, Pak1());
    CliResult run = RunCli({"extract", game.Path()});

    EXPECT_EQ(run.exitCode, 3) << run.err;
    std::vector<std::string> errLines = Lines(run.err);
    ASSERT_EQ(errLines.size(), 2u) << run.err;  // the warning, then the registration's line
    EXPECT_EQ(errLines[0].rfind("warning: ", 0), 0u) << errLines[0];
    EXPECT_NE(errLines[0].find("PAK0.PAK: maps/bad.bsp: "), std::string::npos) << errLines[0];
    auto length = static_cast<std::int64_t>(std::filesystem::file_size(game.dir / "Quake.wad"));
    EXPECT_EQ(run.out, Summary("Quake.wad", length, 2, 2, 0));
}

TEST(ExtractCommand, UsageErrorsExitWithTwoAndPrintNothingOnStdout) {
    Game game(Pak0(), Pak1());
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"extract"},
             {"extract", game.Path(), "--game", "doom"},
             {"extract", game.Path(), "--hard"},
             {"unpack", game.Path()},
             {"info"},
         }) {
        SCOPED_TRACE(::testing::PrintToString(args));
        CliResult run = RunCli(args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err, "");
    }
    EXPECT_FALSE(std::filesystem::exists(game.dir / "Quake.wad"));
}

TEST(ExtractCommand, HelpAndVersionGoToStdoutAndSucceed) {
    CliResult help = RunCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("extract"), std::string::npos);
    EXPECT_NE(help.out.find("info"), std::string::npos);
    CliResult version = RunCli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("moxtrel-cli ", 0), 0u) << version.out;
}

TEST(ExtractCommand, GameDirectoryIsMadeAbsoluteWithOneTrailingSlashAndNoDotComponents) {
    CurrentDirectoryGuard guard;
    TempDir dir;
    std::filesystem::current_path(dir.Path());
    std::string cwd = std::filesystem::current_path().string();
    EXPECT_EQ(cli::GameDirectoryFromArgument("id1"), Native(cwd + "/id1/"));
    EXPECT_EQ(cli::GameDirectoryFromArgument("."), Native(cwd + "/"));
    EXPECT_EQ(cli::GameDirectoryFromArgument("./q/./id1/"), Native(cwd + "/q/id1/"));
#ifdef _WIN32
    const std::string root = "C:/";
#else
    const std::string root = "/";
#endif
    EXPECT_EQ(cli::GameDirectoryFromArgument(root + "games/quake/id1"), Native(root + "games/quake/id1/"));
    EXPECT_EQ(cli::GameDirectoryFromArgument(root + "games/../id1//"), Native(root + "games/../id1/"));
    EXPECT_EQ(cli::GameDirectoryFromArgument(root), Native(root));
}

}  // namespace
}  // namespace moxtrel::test
