#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "WineTestSupport.h"
#include "platform/wine/RegistryStoreChoice.h"
#include "platform/wine/WinePrefixRegistry.h"

namespace moxtrel::platform::wine {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::WineFromEnvironment;

const std::string Slots = std::string(EditorSettingsKey) + "\\txpack";

class StoreChoiceUnderWine : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string missing = test::WineMissingReason(); !missing.empty()) GTEST_SKIP() << missing;
    }
};

// ~/.wine with its server running, WINEPREFIX unset: the slots are walked as
// a registration walks them, and the package goes into the first free one.
TEST_F(StoreChoiceUnderWine, HomeWinePrefixWithTheEditorTakesTheRegistration) {
    test::TestPrefix prefix(".wine");
    prefix.AddEditorSlots();
    prefix.StartServer();
    const StoreEnvironment environment{"", "", prefix.Folder().string(), ""};
    const StoreChoice choice = ChooseRegistryStore(environment, WineFromEnvironment());
    ASSERT_EQ(choice.kind, StoreChoice::Kind::WinePrefix);
    EXPECT_EQ(choice.words, "the Wine registry in ~/.wine");
    EXPECT_TRUE(choice.problem.Ok());

    const WinePrefixRegistry registry(choice.path, WineFromEnvironment());
    std::uint32_t type = 0;
    std::string name;
    ASSERT_TRUE(registry.ReadValue(Slots + "0", "name", type, name).Ok());
    EXPECT_EQ(name, std::string("Other.wad\0", 10));
    EXPECT_EQ(registry.ReadValue(Slots + "1", "name", type, name).failure, WineFailure::ValueNotFound);

    test::TempDir games;
    const std::string package = fs::canonical(games.Path()).string() + "/quake/id1/Quake.wad";
    std::string drivePath;
    ASSERT_TRUE(registry.DrivePath(package, drivePath).Ok());
    ASSERT_TRUE(registry.SetValues(Slots + "1", {{"type", std::uint32_t{1}}, {"path", drivePath}, {"name", std::string("Quake.wad")}}).Ok());

    const std::string slot1 = "HKEY_CURRENT_USER\\" + Slots + "1";
    std::string expected = "Z:" + package;
    std::replace(expected.begin(), expected.end(), '/', '\\');
    EXPECT_EQ(test::QueryValue(prefix.Path(), slot1, "path"), expected);
    EXPECT_EQ(test::QueryValue(prefix.Path(), slot1, "name"), "Quake.wad");
    EXPECT_EQ(test::QueryValue(prefix.Path(), slot1, "type"), "0x1");
    EXPECT_EQ(test::QueryValue(prefix.Path(), "HKEY_CURRENT_USER\\" + Slots + "0", "name"), "Other.wad");
}

// A prefix without the editor, and one with it that MOXTREL_REGISTRY
// overrides: the file store is used, and neither prefix is touched, nor a
// wineserver started for it.
TEST_F(StoreChoiceUnderWine, PrefixesThatAreNotChosenAreLeftByteForByte) {
    test::TestPrefix withoutEditor;
    test::TestPrefix withEditor;
    withEditor.AddEditorSlots();
    const auto snapshot = [](const test::TestPrefix& prefix) {
        std::string files;
        for (const char* name : {"user.reg", "system.reg", "userdef.reg"}) files += ReadText(prefix / name);
        return files;
    };
    const std::string before[] = {snapshot(withoutEditor), snapshot(withEditor)};
    const std::string home = withoutEditor.Folder().string();

    StoreChoice choice = ChooseRegistryStore({"", withoutEditor.Path().string(), home, ""}, WineFromEnvironment());
    EXPECT_EQ(choice.kind, StoreChoice::Kind::File);
    EXPECT_EQ(choice.words, "~/.config/moxtrel/registry.reg");
    choice = ChooseRegistryStore({home + "/mine.reg", withEditor.Path().string(), home, ""}, WineFromEnvironment());
    EXPECT_EQ(choice.kind, StoreChoice::Kind::File);
    EXPECT_EQ(choice.words, "~/mine.reg");

    EXPECT_EQ(snapshot(withoutEditor), before[0]);
    EXPECT_EQ(snapshot(withEditor), before[1]);
    EXPECT_FALSE(fs::exists(withoutEditor / "wineserver"));
    EXPECT_FALSE(fs::exists(withEditor / "wineserver"));
}

}  // namespace
}  // namespace moxtrel::platform::wine
