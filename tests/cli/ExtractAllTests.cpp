// moxtrel-cli extract --all, --output and --report, and info --json, run as a
// process on fixture games. The package and the report are checked against
// tests/tools/reference_package.py, a reader written apart from the program.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include <nlohmann/json.hpp>

#include "cli/RunCli.h"
#include "support/TempDir.h"
#include "tools/GameWriter.h"

namespace moxtrel::test {
namespace {

namespace fs = std::filesystem;
using fixtures::Bytes;
using nlohmann::json;

constexpr int Side = 16;

Bytes Tex(const std::string& name, std::uint32_t seed) {
    return fixtures::MakeMiptex(name, Side, Side, seed);
}

Bytes Archive(const std::string& map, const std::vector<std::optional<Bytes>>& slots) {
    return fixtures::MakeArchiveOfMaps({{"maps/" + map + ".bsp", slots}});
}

Bytes LooseMap(const std::vector<std::optional<Bytes>>& slots) {
    return fixtures::MakeBsp(fixtures::MakeTextureLump(slots));
}

struct Game {
    TempDir root;
    fs::path dir = root / "id1";
    Game() { fs::create_directory(dir); }
    void Put(const std::string& name, const Bytes& bytes) const {
        fs::create_directories((dir / name).parent_path());
        fixtures::WriteBytes((dir / name).string(), bytes);
    }
};

// A registry store with one free slot; returns its text.
std::string WriteSlotStore(const std::string& path) {
    std::string text = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack0]\n";
    fixtures::WriteBytes(path, Bytes(text.begin(), text.end()));
    return text;
}

// The independent reader is a Python script run through a shell, which a
// Windows program under Wine cannot start: the Windows build's package is
// compared with the Linux build's byte for byte instead.
#ifndef _WIN32

// What the independent reader expects of `game`: the package and the account.
struct Expected {
    Bytes package;
    json account;
};

Expected Reference(const Game& game, const fs::path& scratch) {
    std::string command = "python3 '" MOXTREL_REFERENCE_SCRIPT "' '" + game.dir.string() + "' --all '" +
                          (scratch / "ref.wad").string() + "' '" + (scratch / "ref.json").string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream account(scratch / "ref.json");
    return {fixtures::ReadBytes((scratch / "ref.wad").string()), json::parse(account)};
}

// The report says what the reference says; skips are compared by place only,
// since the reference does not word its warnings.
void ExpectReportAgrees(json report, const json& account) {
    for (json& skip : report["skipped"]) skip.erase("warning");
    for (const char* part : {"sources", "textures", "repeats", "skipped"}) {
        EXPECT_EQ(report[part], account[part]) << part;
    }
}

TEST(ExtractAll, ThePackageAndReportAreWhatAnIndependentReaderPredicts) {
    struct Case {
        const char* what;
        std::function<void(const Game&)> build;
        std::vector<std::string> warnings;  // words each skip's warning holds, in order
    };
    const std::vector<Case> cases = {
        {"only pak0", [](const Game& g) { g.Put("pak0.pak", Archive("e1m1", {Tex("brick", 1), Tex("*lava", 2)})); }, {}},
        {"archives 0 to 3, 4 missing, 5 present",
         [](const Game& g) {
             g.Put("PAK0.PAK", Archive("a", {Tex("one", 1)}));
             g.Put("pak1.pak", Archive("b", {Tex("one", 9), Tex("two", 2)}));
             g.Put("Pak2.Pak", Archive("c", {Tex("three", 3), Tex("two", 2)}));
             g.Put("pak3.pak", Archive("d", {Tex("+0four", 4)}));
             g.Put("pak5.pak", Archive("e", {Tex("five", 5)}));
             g.Put("pak04.pak", Archive("f", {Tex("leading_zero", 6)}));
         },
         {}},
        {"loose maps only",
         [](const Game& g) {
             g.Put("MAPS/b.bsp", LooseMap({Tex("bee", 1), std::nullopt, Tex("shared", 2)}));
             g.Put("MAPS/A.BSP", LooseMap({Tex("shared", 3), Tex("ay", 4)}));
             g.Put("MAPS/notes.txt", Bytes(40, 'x'));
         },
         {}},
        {"a mix, with refused and damaged maps and a name byte above 0x7F",
         [](const Game& g) {
             g.Put("pak0.pak", Archive("start", {Tex("brick", 1), Tex("caf\xE9", 2)}));
             g.Put("pak1.pak", Archive("end", {Tex("brick", 1), Tex("plank", 3)}));
             g.Put("maps/m1.bsp", LooseMap({Tex("plank", 4), Tex("mine", 5)}));
             Bytes damaged = LooseMap({Tex("lost", 6)});
             fixtures::PatchInt32(damaged, 20, 0x7FFFFF00);
             g.Put("maps/m2.bsp", damaged);
             g.Put("maps/m3.bsp", Bytes{'P', 'A'});
             fs::create_directory(g.dir / "maps/m4.bsp");
             ASSERT_EQ(::mkfifo((g.dir / "maps/m5.bsp").c_str(), 0644), 0);
             g.Put("../elsewhere.bsp", LooseMap({Tex("through_a_link", 7)}));
             fs::create_symlink(g.dir / "../elsewhere.bsp", g.dir / "maps/m6.bsp");
         },
         {"texture lump", "too short", "a folder", "a FIFO", "symbolic link"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Game game;
        c.build(game);
        TempDir scratch;
        Expected expected = Reference(game, scratch.Path());
        std::string report = (scratch / "report.json").string();

        CliResult run = RunCli({"extract", game.dir.string(), "--all", "--report", report});

        ASSERT_EQ(run.exitCode, c.warnings.empty() ? 0 : 3) << run.err;
        EXPECT_EQ(fixtures::ReadBytes((game.dir / "Quake.wad").string()), expected.package);
        std::ifstream reportFile(report);
        json document = json::parse(reportFile);
        ExpectReportAgrees(document, expected.account);
        std::vector<std::string> lines = Lines(run.err);
        ASSERT_EQ(lines.size(), c.warnings.size() + 1) << run.err;  // and the registration's line
        for (std::size_t i = 0; i < c.warnings.size(); ++i) {
            EXPECT_NE(lines[i].find(c.warnings[i]), std::string::npos) << lines[i];
            EXPECT_EQ(document["skipped"][i]["warning"], lines[i].substr(lines[i].rfind(": ") + 2));
        }
    }
}

#endif

// Windows has no limit on open files to set for a child.
#ifndef _WIN32
TEST(ExtractAll, MoreLooseMapsThanTheProcessMayOpenFilesAreAllRead) {
    Game game;
    constexpr int Maps = 150;
    for (int i = 0; i < Maps; ++i) {
        game.Put("maps/m" + std::to_string(1000 + i) + ".bsp", LooseMap({Tex("t" + std::to_string(i), 1)}));
    }
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit few = saved;
    few.rlim_cur = 64;  // the child inherits it
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &few), 0);
    CliResult run = RunCli({"extract", game.dir.string(), "--all"});
    ::setrlimit(RLIMIT_NOFILE, &saved);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Lines(run.out).at(2), "Total Entries in Wad : " + std::to_string(Maps));
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;  // the registration's line only
    EXPECT_EQ(std::distance(fs::directory_iterator(game.dir), fs::directory_iterator()), 2);  // no spool left
}
#endif

TEST(ExtractAll, AFolderWithNoArchiveAndNoMapIsAnErrorAndWritesNothing) {
    Game game;
    game.Put("pak1.pak", Archive("a", {Tex("one", 1)}));  // no pak0: not read
    fs::create_directory(game.dir / "maps");
    TempDir scratch;
    CliResult run = RunCli({"extract", game.dir.string(), "--all", "--report", (scratch / "r.json").string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Extraction Error: No archives or maps found in " + Native(game.dir.string() + "/") + "\n");
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(fs::exists(game.dir / "Quake.wad"));
    EXPECT_FALSE(fs::exists(scratch / "r.json"));
}

TEST(ExtractOutput, WritesTheWadWhereToldAndRegistersItsRealPathUnderItsOwnName) {
    Game game;
    game.Put("PAK0.PAK", Archive("a", {Tex("one", 1)}));
    game.Put("PAK1.PAK", Archive("b", {Tex("two", 2)}));
    fs::permissions(game.dir, fs::perms(0555));
    TempDir out;
    std::string registry = (out / "registry.reg").string();
    WriteSlotStore(registry);
    CurrentDirectoryGuard guard;
    fs::current_path(out.Path());

    CliResult run = RunCli({"extract", game.dir.string(), "--game", "hexen2", "--output", "./textures.wad"},
                           {{"MOXTREL_REGISTRY", registry}});
    fs::permissions(game.dir, fs::perms(0755));

    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Lines(run.out).at(0), "File Name : textures.wad");
    EXPECT_EQ(std::distance(fs::directory_iterator(game.dir), fs::directory_iterator()), 2);  // nothing added
    Bytes stored = fixtures::ReadBytes(registry);
    std::string text(stored.begin(), stored.end());
    std::string path = Native(fs::current_path().string() + "/textures.wad");
    EXPECT_NE(text.find("\"path\"=" + StoreQuoted(path)), std::string::npos) << text;
    EXPECT_NE(text.find("\"name\"=\"textures.wad\""), std::string::npos) << text;
    EXPECT_TRUE(fs::is_regular_file(path));
}

TEST(ExtractOutput, AnOutputOrReportThatCannotBeWrittenFailsBeforeAnythingIsWritten) {
    Game game;
    game.Put("PAK0.PAK", Archive("a", {Tex("one", 1)}));
    game.Put("PAK1.PAK", Archive("b", {Tex("two", 2)}));
    TempDir out;
    std::string store = (out / "registry.reg").string();
    std::string slot = WriteSlotStore(store);
    fixtures::WriteBytes((out / "old.json").string(), Bytes{'{', '}'});
    std::string missing = Native((out / "no/such/folder/x").string());
    struct Case {
        std::vector<std::string> options;
        std::string err;
    };
    for (const Case& c : std::vector<Case>{
             {{"--output", missing}, "File IO error: Could not create wad file. (" + missing + ": its folder does not exist)\n"},
             {{"--output", out.Path().string()},
              "File IO error: Could not create wad file. (" + out.Path().string() + ": it is a folder)\n"},
             {{"--report", missing}, "File IO error: Could not write the report. (" + missing + ": its folder does not exist)\n"},
             {{"--report", (out / "old.json").string(), "--all", "--output", missing},
              "File IO error: Could not create wad file. (" + missing + ": its folder does not exist)\n"},
         }) {
        SCOPED_TRACE(c.err);
        std::vector<std::string> args = {"extract", game.dir.string()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        CliResult run = RunCli(args, {{"MOXTREL_REGISTRY", store}});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, c.err);
        EXPECT_FALSE(fs::exists(game.dir / "Quake.wad"));
        EXPECT_EQ(fixtures::ReadBytes(store), Bytes(slot.begin(), slot.end()));  // nothing registered
        EXPECT_EQ(fixtures::ReadBytes((out / "old.json").string()), (Bytes{'{', '}'}));  // an old report stays
    }
}

// Runs extract and checks that it failed without touching anything: no
// package beside the archives but the old one, the store as it was.
void ExpectFailureThatKeepsEverything(const Game& game, const std::vector<std::string>& options, const std::string& store,
                                      const std::string& err) {
    std::vector<std::string> args = {"extract", game.dir.string()};
    args.insert(args.end(), options.begin(), options.end());
    Bytes storeBefore = fixtures::ReadBytes(store);
    CliResult run = RunCli(args, {{"MOXTREL_REGISTRY", store}});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Lines(run.err).back(), err) << run.err;
    EXPECT_EQ(fixtures::ReadBytes(store), storeBefore);
}

TEST(ExtractSafety, ARunThatCouldReadNothingFailsAndKeepsTheOldPackage) {
    Bytes damagedMap = LooseMap({Tex("lost", 6)});
    fixtures::PatchInt32(damagedMap, 20, 0x7FFFFF00);
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, Bytes>> files;
        std::vector<std::string> options;
        std::string lastLine;  // after GAME_DIR
    };
    const std::string nothingRead = "Extraction Error: No textures could be read, so no package was written. (";
    for (const Case& c : std::vector<Case>{
             {"two empty archives", {{"PAK0.PAK", {}}, {"PAK1.PAK", {}}}, {}, nothingRead},
             {"two files that are no archives", {{"PAK0.PAK", Bytes(64, 'x')}, {"PAK1.PAK", Bytes(3, 'y')}}, {}, nothingRead},
             {"archives whose only map is damaged",
              {{"PAK0.PAK", fixtures::MakePak({{"maps/a.bsp", damagedMap}})}, {"PAK1.PAK", fixtures::MakePak({})}},
              {},
              nothingRead},
             {"--all, a loose map that is no map", {{"maps/a.bsp", Bytes{'P', 'A'}}}, {"--all"}, nothingRead},
         }) {
        SCOPED_TRACE(c.what);
        Game game;
        for (const auto& [name, bytes] : c.files) game.Put(name, bytes);
        game.Put("Quake.wad", Bytes{'o', 'l', 'd'});
        TempDir out;
        std::string store = (out / "registry.reg").string();
        WriteSlotStore(store);
        std::string package = Native((game.dir / "Quake.wad").string());
        ExpectFailureThatKeepsEverything(game, c.options, store, c.lastLine + package + ": kept as it was)");
        EXPECT_EQ(fixtures::ReadBytes((game.dir / "Quake.wad").string()), (Bytes{'o', 'l', 'd'}));
        EXPECT_EQ(static_cast<std::size_t>(std::distance(fs::directory_iterator(game.dir), fs::directory_iterator())),
                  c.files.size() + 1);  // no temporary file left
    }
}

#ifndef _WIN32
TEST(ExtractSafety, AnAllRunThatFindsOnlyLinksFoldersAndFifosFindsNothing) {
    Game game;
    game.Put("../elsewhere.bsp", LooseMap({Tex("through_a_link", 7)}));
    fs::create_directory(game.dir / "maps");
    fs::create_symlink(game.dir / "../elsewhere.bsp", game.dir / "maps/a.bsp");
    fs::create_directory(game.dir / "maps/b.bsp");
    ASSERT_EQ(::mkfifo((game.dir / "maps/c.bsp").c_str(), 0644), 0);
    TempDir out;
    std::string store = (out / "registry.reg").string();
    WriteSlotStore(store);
    ExpectFailureThatKeepsEverything(game, {"--all"}, store,
                                     "Extraction Error: No archives or maps found in " + game.dir.string() + "/");
    EXPECT_FALSE(fs::exists(game.dir / "Quake.wad"));
}

TEST(ExtractSafety, AnOutputOrReportThatLeadsToASourceIsRefusedHoweverItIsSpelled) {
    Game game;
    game.Put("PAK0.PAK", Archive("a", {Tex("one", 1)}));
    game.Put("PAK1.PAK", Archive("b", {Tex("two", 2)}));
    game.Put("maps/loose.bsp", LooseMap({Tex("three", 3)}));
    TempDir out;
    fs::create_symlink(game.dir / "PAK0.PAK", out / "link.wad");
    fs::create_hard_link(game.dir / "PAK1.PAK", out / "hard.wad");
    std::string store = (out / "registry.reg").string();
    WriteSlotStore(store);
    const std::string id1 = game.dir.string() + "/";
    const std::string refused = " which is never written over)";
    struct Case {
        std::vector<std::string> options;
        std::string path, source;  // the refused path as told, and the source it leads to
    };
    for (const Case& c : std::vector<Case>{
             {{"--output", id1 + "pak1.pak"}, id1 + "pak1.pak", id1 + "PAK1.PAK"},
             {{"--output", id1 + "../id1/PAK0.PAK"}, id1 + "../id1/PAK0.PAK", id1 + "PAK0.PAK"},
             {{"--output", (out / "link.wad").string()}, (out / "link.wad").string(), id1 + "PAK0.PAK"},
             {{"--output", (out / "hard.wad").string()}, (out / "hard.wad").string(), id1 + "PAK1.PAK"},
             {{"--all", "--output", id1 + "maps/loose.bsp"}, id1 + "maps/loose.bsp", id1 + "maps/loose.bsp"},
         }) {
        SCOPED_TRACE(c.path);
        ExpectFailureThatKeepsEverything(game, c.options, store,
                                         "File IO error: Could not create wad file. (" + c.path + ": it is the source " +
                                             c.source + "," + refused);
    }
    ExpectFailureThatKeepsEverything(game, {"--report", id1 + "PAK0.PAK"}, store,
                                     "File IO error: Could not write the report. (" + id1 + "PAK0.PAK: it is the source " +
                                         id1 + "PAK0.PAK," + refused);
    std::string same = (out / "same").string();
    ExpectFailureThatKeepsEverything(game, {"--report", same, "--output", same}, store,
                                     "File IO error: Could not write the report. (" + same + ": it is the package " +
                                         same + "," + refused);
    EXPECT_EQ(fixtures::ReadBytes((game.dir / "PAK0.PAK").string()), Archive("a", {Tex("one", 1)}));
    EXPECT_EQ(fixtures::ReadBytes((game.dir / "PAK1.PAK").string()), Archive("b", {Tex("two", 2)}));
    EXPECT_FALSE(fs::exists(game.dir / "Quake.wad"));
}

TEST(ExtractSafety, AReadOnlyPackageIsKeptAndAReplacedOneKeepsItsMode) {
    Game game;
    game.Put("PAK0.PAK", Archive("a", {Tex("one", 1)}));
    game.Put("PAK1.PAK", Archive("b", {Tex("two", 2)}));
    game.Put("Quake.wad", Bytes{'o', 'l', 'd'});
    TempDir out;
    std::string store = (out / "registry.reg").string();
    WriteSlotStore(store);
    const std::string package = (game.dir / "Quake.wad").string();
    fs::permissions(package, fs::perms(0444));
    ExpectFailureThatKeepsEverything(game, {}, store,
                                     "File IO error: Could not create wad file. (" + package + ": " +
                                         std::strerror(EACCES) + "; --output writes the package elsewhere)");
    EXPECT_EQ(fixtures::ReadBytes(package), (Bytes{'o', 'l', 'd'}));

    fs::permissions(package, fs::perms(0640));
    CliResult run = RunCli({"extract", game.dir.string()}, {{"MOXTREL_REGISTRY", store}});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(fs::status(package).permissions(), fs::perms(0640));
}
#endif

TEST(ExtractSafety, TwoPackagesWrittenElsewhereTakeTwoSlotsAndKeepThemOnTheNextRun) {
    Game game;
    game.Put("PAK0.PAK", Archive("a", {Tex("one", 1)}));
    game.Put("PAK1.PAK", Archive("b", {Tex("two", 2)}));
    TempDir out;
    std::string store = (out / "registry.reg").string();
    std::string slots = "REGEDIT4\n";
    for (int i = 0; i < 3; ++i) {
        slots += "\n[HKEY_CURRENT_USER\\Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack" + std::to_string(i) + "]\n";
    }
    fixtures::WriteBytes(store, Bytes(slots.begin(), slots.end()));
    for (const auto& [name, slot] : std::vector<std::pair<std::string, int>>{{"base.wad", 0}, {"hipnotic.wad", 1}, {"base.wad", 0}}) {
        SCOPED_TRACE(name);
        CliResult run = RunCli({"extract", game.dir.string(), "--output", (out / name).string()}, {{"MOXTREL_REGISTRY", store}});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(Lines(run.err).back(), "registered in slot txpack" + std::to_string(slot) + " of " + store);
    }
}

TEST(ExtractSafety, TheReportNamesItsSourcesWithAbsolutePathsWithoutAll) {
    Game game;
    game.Put("PAK0.PAK", Archive("a", {Tex("one", 1)}));
    game.Put("PAK1.PAK", Archive("b", {Tex("two", 2)}));
    TempDir out;
    std::string report = (out / "report.json").string();
    CliResult run = RunCli({"extract", game.dir.string(), "--report", report});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::ifstream reportFile(report);
    json document = json::parse(reportFile);
    EXPECT_EQ(document["sources"][0]["path"], Native((game.dir / "PAK0.PAK").string()));
    EXPECT_EQ(document["textures"][1]["source"], Native((game.dir / "PAK1.PAK").string()));
}

TEST(InfoJson, ListsEachLumpWithItsSizeAndPictureSizeWhereTheRecordHoldsOne) {
    TempDir dir;
    std::string wad = (dir / "t.wad").string();
    fixtures::WriteBytes(wad, fixtures::MakeWad({{fixtures::MakeName16("wall", "x"), Tex("wall", 1)},
                                                 {fixtures::MakeName16("short"), Bytes(20, 0)},
                                                 {fixtures::MakeName16("pal\xFF"), Bytes(30, 0), 0x40}}));
    CliResult run = RunCli({"info", wad, "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    json listing = json::parse(run.out);
    EXPECT_EQ(listing["file"], "t.wad");
    std::int64_t record = static_cast<std::int64_t>(Tex("wall", 1).size());
    EXPECT_EQ(listing["lumps"], json::parse(R"([
        {"name": "wall", "position": 12, "size": )" + std::to_string(record) + R"(, "type": "D", "width": 16, "height": 16},
        {"name": "short", "position": )" + std::to_string(12 + record) + R"(, "size": 20, "type": "D"},
        {"name": "pal\u00ff", "position": )" + std::to_string(32 + record) + R"(, "size": 30, "type": "@"}])"));
}

}  // namespace
}  // namespace moxtrel::test
