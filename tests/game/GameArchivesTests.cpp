// The numbered archives of a game directory: which names count, and where the
// load order stops.
#include "game/GameArchives.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace moxtrel {
namespace {

void Touch(const std::filesystem::path& path) {
    std::ofstream(path) << "PACK";
}

TEST(GameArchives, NamesAreMatchedInAnyCaseWithPlainDecimalNumbers) {
    struct Case {
        const char* name;
        int index;
    };
    for (const Case& c : {Case{"pak0.pak", 0}, Case{"PAK1.PAK", 1}, Case{"Pak12.pAk", 12},
                          Case{"pak999999.pak", 999999}, Case{"pak01.pak", -1}, Case{"pak.pak", -1},
                          Case{"pak1000000.pak", -1}, Case{"pak-1.pak", -1}, Case{"pak1.pk3", -1},
                          Case{"xpak1.pak", -1}, Case{"pak1a.pak", -1}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(NumberedArchiveIndex(c.name), c.index);
    }
}

TEST(GameArchives, LoadOrderStopsAtTheFirstMissingNumber) {
    test::TempDir dir;
    for (const char* name : {"PAK0.PAK", "pak1.pak", "pak3.pak", "pak02.pak"}) Touch(dir / name);
    std::filesystem::create_directory(dir / "pak2.pak");  // a folder is no archive
    EXPECT_EQ(FindNumberedArchives(dir.Path().string()),
              (std::vector<std::string>{dir.Dir() + "PAK0.PAK", dir.Dir() + "pak1.pak"}));
}

TEST(GameArchives, NoPakZeroMeansNoArchivesAndLinksAreNotFollowed) {
    test::TempDir dir;
    Touch(dir / "pak1.pak");
    EXPECT_TRUE(FindNumberedArchives(dir.Dir()).empty());
    if (test::CanMakeSymbolicLinks) std::filesystem::create_symlink(dir / "pak1.pak", dir / "pak0.pak");
    EXPECT_TRUE(FindNumberedArchives(dir.Dir()).empty());
    EXPECT_TRUE(FindNumberedArchives(dir.Dir() + "missing/").empty());
}

TEST(GameArchives, TwoSpellingsOfOneNumberTakeTheFirstInByteOrder) {
    if (!test::CaseSensitiveNames) GTEST_SKIP() << test::NamesIgnoreCase;
    test::TempDir dir;
    Touch(dir / "pak0.pak");
    Touch(dir / "PAK0.PAK");
    EXPECT_EQ(FindNumberedArchives(dir.Dir()), (std::vector<std::string>{dir.Dir() + "PAK0.PAK"}));
}

TEST(LooseMaps, TheMapsFolderIsFoundInAnyCaseAndNeverThroughALink) {
    namespace fs = std::filesystem;
    struct Case {
        const char* what;
        std::vector<const char*> folders;  // made in this order; "->X" is a link to folder X
        std::string chosen;                // empty: no maps folder
        bool possibleHere = true;          // the file system can hold these folders
    };
    for (const Case& c : {Case{"exact", {"MAPS", "maps", "Maps"}, "maps", test::CaseSensitiveNames},
                          Case{"first in byte order", {"maps_old", "mApS", "MAPS"}, "MAPS", test::CaseSensitiveNames},
                          Case{"one spelling, kept as it is", {"Maps"}, "Maps"},
                          Case{"a link is passed over", {"elsewhere", "->elsewhere"}, "", test::CanMakeSymbolicLinks},
                          Case{"none", {}, ""}}) {
        if (!c.possibleHere) continue;
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        for (std::string folder : c.folders) {
            if (folder.rfind("->", 0) == 0) {
                fs::create_directory_symlink(dir / folder.substr(2), dir / "maps");
            } else {
                fs::create_directory(dir / folder);
                Touch(dir / folder / "e1m1.bsp");
            }
        }
        LooseMaps maps = FindLooseMaps(dir.Dir());
        EXPECT_EQ(maps.folderName, c.chosen);
        EXPECT_EQ(maps.names.size(), c.chosen.empty() ? 0u : 1u);
    }
}

}  // namespace
}  // namespace moxtrel
