#include <gtest/gtest.h>

#include <filesystem>

#include "cli/InfoCommand.h"
#include "cli/RunCli.h"
#include "support/TempDir.h"
#include "tools/GameWriter.h"

namespace moxtrel::test {
namespace {

using fixtures::Bytes;

TEST(InfoCommand, ShowsTheSameSummaryAsTheRunThenOneLinePerLump) {
    TempDir root;
    std::filesystem::create_directory(root / "id1");
    // Record sizes: 40 + 64*64*85/64 = 5480 bytes; "+0lava" follows 7 bytes of
    // padding left behind by the compiler, which stay part of the "plank" record.
    Bytes map = fixtures::MakeBsp(fixtures::MakeTextureLump({
        fixtures::MakeMiptex("plank", 64, 64, 1),
        fixtures::MakeMiptex(fixtures::MakeName16("+0lava", "old"), 64, 64, 2),
    }, 7));
    fixtures::WriteBytes((root / "id1" / "PAK0.PAK").string(), fixtures::MakePak({{"maps/e1m1.bsp", map}}));
    fixtures::WriteBytes((root / "id1" / "PAK1.PAK").string(), fixtures::MakePak({}));
    CliResult extract = RunCli({"extract", (root / "id1").string()});
    ASSERT_EQ(extract.exitCode, 0) << extract.err;

    CliResult info = RunCli({"info", (root / "id1" / "Quake.wad").string()});

    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_EQ(info.err, "");
    EXPECT_EQ(info.out, extract.out +
                            "plank                  5487  D\n"
                            "+0lava                 5487  D\n");
}

TEST(InfoCommand, AnUnreadableOrMalformedFileIsAClearMessageAndExitCodeOne) {
    TempDir dir;
    Bytes cut = fixtures::MakeWad({{fixtures::MakeName16("plank"), Bytes(100, 7)}});
    cut.resize(cut.size() - 10);  // the directory entry loses its last bytes
    fixtures::WriteBytes((dir / "cut.wad").string(), cut);
    fixtures::WriteBytes((dir / "pak.wad").string(), fixtures::MakePak({}));

    struct Case {
        std::string file;
        std::string message;
    };
    for (const Case& c : {
             Case{"missing.wad", (dir / "missing.wad").string() + ": No such file or directory\n"},
             Case{"cut.wad", "cut.wad: not a valid WAD2 package: at byte 4: 1 lumps do not fit"},
             Case{"pak.wad", "pak.wad: not a valid WAD2 package: at byte 0: the file does not begin with \"WAD2\"\n"},
         }) {
        SCOPED_TRACE(c.file);
        CliResult info = RunCli({"info", (dir / c.file).string()});
        EXPECT_EQ(info.exitCode, 1);
        EXPECT_EQ(info.out, "");
        EXPECT_EQ(info.err.rfind(c.message, 0), 0u) << info.err;
    }
}

TEST(InfoCommand, ListingShowsUnprintableBytesAndTypesAsHex) {
    WadLump lump;
    lump.name = {'s', 'k', 'y', '\x1b', '[', '2', 'J', 0, 'x'};
    lump.diskSize = 12345678;
    lump.type = 0x01;
    EXPECT_EQ(cli::LumpListingLine(lump), "sky\\x1B[2J         12345678  0x01");

    lump.name = {'s', 'i', 'x', 't', 'e', 'e', 'n', '_', 'c', 'h', 'a', 'r', 's', '_', 'x', 'y'};
    lump.diskSize = 0;
    lump.type = 'D';
    EXPECT_EQ(cli::LumpListingLine(lump), "sixteen_chars_xy          0  D");
}

}  // namespace
}  // namespace moxtrel::test
