#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cli/RunCli.h"
#include "formats/Wad.h"
#include "pictures/PictureNames.h"
#include "pictures/PngPicture.h"
#include "support/TempDir.h"
#include "tools/GameWriter.h"
#include "tools/PngWriter.h"

namespace moxtrel::test {
namespace {

namespace fs = std::filesystem;
using fixtures::Bytes;

// A palette whose 256 colours all differ: red is the number.
std::uint32_t PaletteColour(int number) {
    auto n = static_cast<std::uint32_t>(number);
    return (n << 16) | ((255 - n) << 8) | ((n * 37) & 0xFFu);
}

Bytes PaletteBytes() {
    Bytes bytes;
    for (int i = 0; i < 256; ++i) {
        for (int shift : {16, 8, 0}) bytes.push_back(static_cast<unsigned char>(PaletteColour(i) >> shift));
    }
    return bytes;
}

struct Texture {
    std::string name;
    int width, height;
    Bytes numbers;  // the full-size level
};

// A texture of many different numbers, from `seed` on.
Texture Patterned(const std::string& name, int width, int height, int seed) {
    Bytes numbers;
    for (int i = 0; i < width * height; ++i) numbers.push_back(static_cast<unsigned char>(seed + i * 7 + i / width));
    return {name, width, height, numbers};
}

Bytes Package(const std::vector<Texture>& textures) {
    std::vector<fixtures::WadMember> members;
    for (const Texture& t : textures) {
        members.push_back({fixtures::MakeName16(t.name),
                           fixtures::MakeMiptexFromPixels(fixtures::MakeName16(t.name), t.width, t.height, t.numbers)});
    }
    return fixtures::MakeWad(members);
}

// The name and full-size level of each lump of the package, in order.
std::vector<Texture> PackageTextures(const std::string& path) {
    Bytes bytes = fixtures::ReadBytes(path);
    std::vector<Texture> textures;
    for (const WadLump& lump : ReadWad(path).lumps) {
        auto at = static_cast<std::size_t>(lump.position);
        int width = fixtures::ReadInt32(bytes, at + 16), height = fixtures::ReadInt32(bytes, at + 20);
        auto level = bytes.begin() + static_cast<std::ptrdiff_t>(at) + fixtures::ReadInt32(bytes, at + 24);
        textures.push_back({DisplayName(lump.name), width, height, Bytes(level, level + width * height)});
    }
    return textures;
}

::testing::AssertionResult ShowsTexture(const fs::path& png, const Texture& texture) {
    pictures::RgbaPicture picture = pictures::ReadPngFile(png.string());
    if (picture.width != texture.width || picture.height != texture.height)
        return ::testing::AssertionFailure() << "size";
    for (std::size_t i = 0; i < texture.numbers.size(); ++i) {
        int number = texture.numbers[i];
        unsigned char alpha = texture.name[0] == '{' && number == 255 ? 0 : 255;
        if (picture.Colour(i) != PaletteColour(number) || picture.Alpha(i) != alpha) {
            return ::testing::AssertionFailure() << png << " differs at pixel " << i;
        }
    }
    return ::testing::AssertionSuccess();
}

// An RGBA PNG of the palette's colours of `numbers`, alpha 0 where `numbers` is 255 in a fence.
Bytes PictureOf(const Texture& texture) {
    fixtures::PngSpec spec{texture.width, texture.height, fixtures::PngColour::Rgba, 8, false, {}, {}, {}};
    for (unsigned char number : texture.numbers) {
        for (int shift : {16, 8, 0})
            spec.samples.push_back(static_cast<std::uint16_t>((PaletteColour(number) >> shift) & 0xFF));
        spec.samples.push_back(texture.name[0] == '{' && number == 255 ? 0 : 255);
    }
    return fixtures::MakePng(spec);
}

TEST(ExportCommand, WritesEachTextureInThePalettesColoursAsNamedWithFencesSeeThroughAndNothingElseTouched) {
    TempDir dir;
    std::vector<Texture> textures = {Patterned("*water1", 16, 16, 1), Patterned("{grate", 16, 32, 200),
                                     Patterned("wall", 32, 16, 3), Patterned("+0lava", 16, 16, 4)};
    fixtures::WriteBytes((dir / "pak0.pak").string(), fixtures::MakePak({{"gfx/palette.lmp", PaletteBytes()}}));
    fixtures::WriteBytes((dir / "Quake.wad").string(), Package(textures));
    fs::create_directory(dir / "out");
    fixtures::WriteBytes((dir / "out" / "wall.png").string(), Bytes(10, 1));
    fixtures::WriteBytes((dir / "out" / "keep.txt").string(), Bytes(10, 2));
    std::string out = (dir / "out").string();

    CliResult result = RunCli({"export", (dir / "Quake.wad").string(), "-o", out});

    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, out + "/#water1.png\n" + out + "/{grate.png\n" + out + "/wall.png\n" + out + "/+0lava.png\n");
    EXPECT_TRUE(ShowsTexture(dir / "out" / "#water1.png", textures[0]));
    EXPECT_TRUE(ShowsTexture(dir / "out" / "{grate.png", textures[1]));
    EXPECT_TRUE(ShowsTexture(dir / "out" / "wall.png", textures[2]));
    EXPECT_TRUE(ShowsTexture(dir / "out" / "+0lava.png", textures[3]));
    EXPECT_EQ(fixtures::ReadBytes((dir / "out" / "keep.txt").string()), Bytes(10, 2));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), fs::directory_iterator()), 5);
}

TEST(ExportCommand, AMapsDamagedRecordIsLeftOutWithAWarningAndExitCodeThree) {
    TempDir dir;
    Bytes cut = fixtures::MakeMiptex("cut", 16, 16, 1);
    fixtures::PatchInt32(cut, 16, 64);  // wider than its pixels
    Texture good = Patterned("good", 16, 16, 5);
    Bytes goodRecord = fixtures::MakeMiptexFromPixels(fixtures::MakeName16("good"), 16, 16, good.numbers);
    fixtures::WriteBytes((dir / "e1m1.bsp").string(),
                         fixtures::MakeBsp(fixtures::MakeTextureLump({cut, std::nullopt, goodRecord})));
    fixtures::WriteBytes((dir / "palette.lmp").string(), PaletteBytes());

    CliResult result = RunCli({"export", (dir / "e1m1.bsp").string(), "-o", (dir / "new").string(), "--palette",
                               (dir / "palette.lmp").string()});

    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.err,
              "warning: e1m1.bsp: texture cut: mip level 0 (1024 bytes at 40) does not lie inside the "
              "record of 380 bytes; left out\n");
    EXPECT_EQ(result.out, (dir / "new" / "good.png").string() + "\n");
    EXPECT_TRUE(ShowsTexture(dir / "new" / "good.png", good));
}

TEST(ExportCommand, RefusesBeforeWritingAnything) {
    TempDir dir;
    fixtures::WriteBytes((dir / "palette.lmp").string(), PaletteBytes());
    fixtures::WriteBytes((dir / "cased.wad").string(),
                         Package({Patterned("WALL", 16, 16, 1), Patterned("wall", 16, 16, 2)}));
    fs::create_directory(dir / "out");
    fixtures::WriteBytes((dir / "out" / "wall.png").string(), Package({Patterned("wall", 16, 16, 1)}));
    const std::string out = (dir / "out").string(), palette = (dir / "palette.lmp").string();
    struct Case {
        std::vector<std::string> args;
        std::string error;
    };
    for (const Case& c : {
             Case{{(dir / "cased.wad").string(), "-o", out},
                  "the textures WALL and wall would both be written as wall.png on a file system that ignores letter "
                  "case"},
             Case{{out + "/wall.png", "-o", out + "/../out"},
                  out + "/../out/wall.png: it is " + out + "/wall.png, which this run reads"},
             Case{{out + "/wall.png", "-o", dir.Dir() + "none/out"},
                  dir.Dir() + "none/out: its parent folder " + dir.Dir() + "none does not exist"},
             Case{{palette, "-o", out}, palette + ": neither a WAD2 package nor a map (version 29, BSP2 or 2PSB)"},
         }) {
        std::vector<std::string> args = {"export", "--palette", palette};
        args.insert(args.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(::testing::PrintToString(args));
        CliResult result = RunCli(args);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "Export Error: " + c.error + "\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), fs::directory_iterator()), 1);
    }
}

TEST(PackCommand, MakesOneTextureOfEachPictureInArgumentOrderAndNameOrderWithinAFolder) {
    TempDir dir;
    std::vector<Texture> textures = {Patterned("*water1", 16, 16, 1), Patterned("b", 32, 16, 2),
                                     Patterned("{grate", 16, 16, 250), Patterned("extra", 16, 48, 4)};
    fs::create_directory(dir / "pics");
    fixtures::WriteBytes((dir / "pics" / "{grate.png").string(), PictureOf(textures[2]));
    fixtures::WriteBytes((dir / "pics" / "b.png").string(), PictureOf(textures[1]));
    fixtures::WriteBytes((dir / "pics" / "#water1.png").string(), PictureOf(textures[0]));
    fixtures::WriteBytes((dir / "pics" / "notes.txt").string(), Bytes(3, 'x'));
    fixtures::WriteBytes((dir / "extra.png").string(), PictureOf(textures[3]));
    fixtures::WriteBytes((dir / "palette.lmp").string(), PaletteBytes());
    std::string wad = (dir / "made.wad").string();

    CliResult result = RunCli({"pack", (dir / "pics").string(), (dir / "extra.png").string(), "-o", wad, "--palette",
                               (dir / "palette.lmp").string()});

    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, wad + "\n");
    std::vector<Texture> made = PackageTextures(wad);
    ASSERT_EQ(made.size(), textures.size());
    for (std::size_t i = 0; i < made.size(); ++i) {
        EXPECT_EQ(made[i].name, textures[i].name);
        EXPECT_EQ(made[i].numbers, textures[i].numbers) << textures[i].name;
    }
    EXPECT_EQ(RunCli({"info", wad}).exitCode, 0);
    CliResult preview =
        RunCli({"preview", wad, "-o", (dir / "sheet.png").string(), "--palette", (dir / "palette.lmp").string()});
    EXPECT_EQ(preview.exitCode, 0);
    EXPECT_EQ(preview.err, "");
}

TEST(PackCommand, RefusesAPictureItCannotMakeATextureOfAndWritesNothing) {
    TempDir dir;
    const std::string p = dir.Dir();
    fixtures::WriteBytes(p + "palette.lmp", PaletteBytes());
    Bytes good = PictureOf(Patterned("ok", 16, 16, 1));
    auto write = [&](const std::string& name, const Bytes& bytes) {
        fs::create_directories(fs::path(p + name).parent_path());
        fixtures::WriteBytes(p + name, bytes);
        return p + name;
    };
    Bytes wide = good, badCrc = good;
    fixtures::SetPngSize(wide, 4097, 16);
    badCrc[good.size() - 20] ^= 0x55;
    write("ok.png", good);
    fixtures::WriteBytes(p + "made.wad", Bytes(5, 9));
    struct Case {
        std::vector<std::string> pictures;
        std::string error;
        std::string package = "made.wad";
        std::string palette = "palette.lmp";
    };
    for (const Case& c : {
             Case{{write("odd.png", PictureOf(Patterned("odd", 24, 16, 1)))},
                  p + "odd.png: the picture is 24 x 16 pixels; a texture's sides are multiples of 16"},
             Case{{write("wide.png", wide)},
                  p + "wide.png: the picture is 4097 x 16 pixels; a texture is at most 4096 on a side"},
             Case{{write("crc.png", badCrc)}, p + "crc.png: the PNG is damaged: "},
             Case{{write("cut.png", Bytes(good.begin(), good.begin() + 60))}, p + "cut.png: the PNG is damaged: "},
             Case{{write("sixteen_chars_xx.png", good)},
                  p + "sixteen_chars_xx.png: the texture name is 16 bytes long; a name holds at most 15"},
             Case{{write("bad%zz.png", good)}, p + "bad%zz.png: '%' at character 4 is not followed by two hex digits"},
             Case{{write("a/Wall.png", good), write("b/wall.png", good)},
                  p + "a/Wall.png and " + p + "b/wall.png both give the texture name wall"},
             Case{{p + "missing.png"}, p + "missing.png: No such file or directory"},
             Case{{p + "ok.png"}, p + "a/../ok.png: it is " + p + "ok.png, which this run reads", "a/../ok.png"},
             Case{{p + "ok.png"}, p + "made.wad: a palette file holds 768 bytes, this one 5", "made.wad", "made.wad"},
         }) {
        std::vector<std::string> args = {"pack", "-o", p + c.package, "--palette", p + c.palette};
        args.insert(args.end(), c.pictures.begin(), c.pictures.end());
        SCOPED_TRACE(::testing::PrintToString(args));
        CliResult result = RunCli(args);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind("Pack Error: " + c.error, 0), 0u) << result.err;
        EXPECT_EQ(fixtures::ReadBytes(p + "made.wad"), Bytes(5, 9));
        EXPECT_EQ(fixtures::ReadBytes(p + "ok.png"), good);
    }
}

TEST(PicturesRoundTrip, ExportThenPackGivesBackEveryFullSizeLevelByteForByte) {
    TempDir dir;
    std::vector<Texture> textures = {Patterned("*lava1", 64, 64, 9), Patterned("{fence", 32, 32, 128),
                                     Patterned("+1slip", 16, 128, 40), Patterned("brick", 128, 64, 250)};
    fixtures::WriteBytes((dir / "Quake.wad").string(), Package(textures));
    fixtures::WriteBytes((dir / "palette.lmp").string(), PaletteBytes());
    std::string palette = (dir / "palette.lmp").string(), wad = (dir / "again.wad").string();

    ASSERT_EQ(
        RunCli({"export", (dir / "Quake.wad").string(), "-o", (dir / "pics").string(), "--palette", palette}).exitCode,
        0);
    CliResult pack = RunCli({"pack", (dir / "pics").string(), "-o", wad, "--palette", palette});

    ASSERT_EQ(pack.exitCode, 0) << pack.err;
    std::vector<Texture> made = PackageTextures(wad);
    ASSERT_EQ(made.size(), textures.size());
    std::sort(textures.begin(), textures.end(), [](const Texture& a, const Texture& b) {
        return pictures::PictureFileName(a.name) < pictures::PictureFileName(b.name);
    });
    for (std::size_t i = 0; i < made.size(); ++i) {
        EXPECT_EQ(made[i].name, textures[i].name);
        EXPECT_EQ(made[i].numbers, textures[i].numbers) << textures[i].name;
    }
}

}  // namespace
}  // namespace moxtrel::test
