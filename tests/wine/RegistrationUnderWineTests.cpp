#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "WineTestSupport.h"
#include "cli/RunCli.h"
#include "tools/GameWriter.h"

namespace moxtrel::test {
namespace {

namespace fs = std::filesystem;

const std::string Slot = "HKEY_CURRENT_USER\\Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack";

// moxtrel-cli extract run as a user runs it: no MOXTREL_REGISTRY, the home
// folder the prefix is in, and a game with one texture. The editor's slots:
// txpack0 holds another pack, txpack1 is free.
class RegistrationUnderWine : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string missing = WineMissingReason(); !missing.empty()) GTEST_SKIP() << missing;
        fs::create_directories(game);
        const fixtures::Bytes map = fixtures::MakeBsp(fixtures::MakeTextureLump({fixtures::MakeMiptex("brick", 16, 16, 1)}));
        fixtures::WriteBytes((game / "PAK0.PAK").string(), fixtures::MakePak({{"maps/e1m1.bsp", map}}));
        fixtures::WriteBytes((game / "PAK1.PAK").string(), fixtures::MakePak({}));
    }

    CliResult Extract(const TestPrefix& prefix, std::map<std::string, std::string> env = {}) const {
        env.emplace("MOXTREL_REGISTRY", "");
        env.emplace("HOME", prefix.Folder().string());
        env.emplace("XDG_CONFIG_HOME", "");
        env.emplace("WINEPREFIX", prefix.Path().string());
        return RunCli({"extract", game.string()}, env);
    }

    // The package's path as the prefix's programs see it, through Z:.
    std::string PackageOnZ() const {
        std::string path = "Z:" + fs::canonical(game).string() + "/Quake.wad";
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }

    TempDir games;
    fs::path game = games / "quake" / "id1";
};

std::string Registry(const TestPrefix& prefix) {
    std::string files;
    for (const char* name : {"user.reg", "system.reg", "userdef.reg"}) files += ReadText(prefix / name);
    return files;
}

TEST_F(RegistrationUnderWine, APrefixWithItsServerStoppedOrRunningTakesThePackageInTheFirstFreeSlot) {
    for (const bool serverRuns : {false, true}) {
        SCOPED_TRACE(serverRuns ? "server running" : "server stopped");
        TestPrefix prefix(".wine");
        prefix.AddEditorSlots();
        if (serverRuns) prefix.StartServer();
        // WINEPREFIX unset: ~/.wine, as Wine itself takes it.
        const CliResult run = Extract(prefix, {{"WINEPREFIX", ""}});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "registered in slot txpack1 of the Wine registry in ~/.wine\n");
        EXPECT_EQ(QueryValue(prefix.Path(), Slot + "1", "path"), PackageOnZ());
        EXPECT_EQ(QueryValue(prefix.Path(), Slot + "1", "name"), "Quake.wad");
        EXPECT_EQ(QueryValue(prefix.Path(), Slot + "1", "type"), "0x1");
        EXPECT_EQ(QueryValue(prefix.Path(), Slot + "0", "name"), "Other.wad");
    }
}

TEST_F(RegistrationUnderWine, APrefixThatIsNotTheEditorsOrNotChosenIsLeftByteForByte) {
    TestPrefix withoutEditor;
    TestPrefix withEditor;
    withEditor.AddEditorSlots();
    const std::string before[] = {Registry(withoutEditor), Registry(withEditor)};

    CliResult run = Extract(withoutEditor);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "not registered: no store file at ~/.config/moxtrel/registry.reg\n");

    const std::string store = (withEditor.Folder() / "mine.reg").string();
    std::ofstream(store) << "REGEDIT4\n\n[" << Slot << "0]\n";
    run = Extract(withEditor, {{"MOXTREL_REGISTRY", store}});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "registered in slot txpack0 of ~/mine.reg\n");

    EXPECT_EQ(Registry(withoutEditor), before[0]);
    EXPECT_EQ(Registry(withEditor), before[1]);
    EXPECT_FALSE(fs::exists(withoutEditor / "wineserver")) << "no wineserver was started for it";
    EXPECT_FALSE(fs::exists(withEditor / "wineserver"));
}

TEST_F(RegistrationUnderWine, ADamagedUserRegKeepsThePackageAndSaysWhyItWasNotRegistered) {
    TestPrefix prefix;
    prefix.AddEditorSlots();
    std::ofstream(prefix / "user.reg", std::ios::app) << "\"cut";
    const std::string before = Registry(prefix);

    const CliResult run = Extract(prefix);
    EXPECT_EQ(run.exitCode, 0) << "the package is written, registered or not: " << run.err;
    EXPECT_TRUE(fs::is_regular_file(game / "Quake.wad"));
    EXPECT_EQ(run.err.rfind("not registered: the Wine registry in ~/prefix could not be read: it is not a registry "
                            "file that can be safely rewritten (user.reg line ", 0), 0u) << run.err;
    EXPECT_EQ(Registry(prefix), before);
}

}  // namespace
}  // namespace moxtrel::test
