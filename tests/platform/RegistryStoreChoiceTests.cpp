#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/wine/RegistryStoreChoice.h"
#include "support/TempDir.h"
#include "support/TextFile.h"

namespace moxtrel::platform::wine {
namespace {

namespace fs = std::filesystem;
using test::ReadText;

const std::string WineHeader = "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n";
const std::string WithEditor =
    WineHeader + "\n[Software\\\\Orvek\\\\Lathmore\\\\Gantry\\\\Settings\\\\txpack0] 1700000000\n\"name\"=\"\"\n";
const std::string WithoutEditor = WineHeader + "\n[Software\\\\Other] 1700000000\n\"x\"=\"1\"\n";

void MakePrefix(const fs::path& prefix, const std::string& userReg) {
    fs::create_directories(prefix);
    std::ofstream(prefix / "user.reg", std::ios::binary) << userReg;
}

TEST(RegistryStoreChoice, TheNamedFileThenThePrefixWithTheEditorThenTheXdgFile) {
    test::TempDir dir;
    const std::string home = dir.Path().string();
    MakePrefix(dir / ".wine", WithEditor);
    MakePrefix(dir / "other-prefix", WithoutEditor);
    MakePrefix(dir / "damaged-prefix", WithEditor + "\"cut");
    MakePrefix(dir / "games/editor-prefix", WithEditor);
    fs::create_directories(dir / "empty-prefix");
    using Kind = StoreChoice::Kind;
    const struct {
        StoreEnvironment environment;
        Kind kind;
        std::string words;
        WineFailure problem;
    } cases[] = {
        {{home + "/mine.reg", home + "/games/editor-prefix", home, ""}, Kind::File, "~/mine.reg", WineFailure::None},
        {{"", home + "/games/editor-prefix/", home, ""}, Kind::WinePrefix, "the Wine registry in ~/games/editor-prefix", WineFailure::None},
        {{"", "", home, ""}, Kind::WinePrefix, "the Wine registry in ~/.wine", WineFailure::None},
        {{"", "/elsewhere/prefix", home, ""}, Kind::File, "~/.config/moxtrel/registry.reg", WineFailure::None},
        {{"", home + "/other-prefix", home, "/srv/config"}, Kind::File, "/srv/config/moxtrel/registry.reg", WineFailure::None},
        {{"", home + "/empty-prefix", home, "config"}, Kind::File, "~/.config/moxtrel/registry.reg", WineFailure::None},
        {{"", "games/editor-prefix", home, ""}, Kind::File, "~/.config/moxtrel/registry.reg", WineFailure::None},
        {{"", home + "/damaged-prefix", home, ""}, Kind::WinePrefix, "the Wine registry in ~/damaged-prefix",
         WineFailure::RegistryDamaged},
        {{"", "", "", ""}, Kind::None, "", WineFailure::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.environment.winePrefix + " " + c.words);
        const StoreChoice choice = ChooseRegistryStore(c.environment, WineCommand{});
        EXPECT_EQ(choice.kind, c.kind);
        EXPECT_EQ(choice.words, c.words);
        EXPECT_EQ(choice.problem.failure, c.problem);
    }
    // Asking changed no prefix.
    EXPECT_EQ(ReadText(dir / "other-prefix/user.reg"), WithoutEditor);
    EXPECT_EQ(ReadText(dir / ".wine/user.reg"), WithEditor);
}

}  // namespace
}  // namespace moxtrel::platform::wine
