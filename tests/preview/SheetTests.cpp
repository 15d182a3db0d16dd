#include <gtest/gtest.h>

#include "platform/LittleEndian.h"
#include "preview/MiptexPicture.h"
#include "preview/Palette.h"
#include "preview/SheetLayout.h"
#include "support/RecordingSinks.h"
#include "support/TempDir.h"
#include "tools/GameWriter.h"

namespace moxtrel::preview {
namespace {

using fixtures::Bytes;

TEST(SheetOrder, KeepsThePackageOrderButBringsEachAnimationsFramesTogetherInFrameOrder) {
    struct Case {
        std::vector<std::string> names;
        std::vector<std::size_t> order;
    };
    for (const Case& c : {
             Case{{"wall", "sky", "*water"}, {0, 1, 2}},
             // The group takes the place of its first frame found.
             Case{{"+1lava", "wall", "+0lava", "+2lava"}, {2, 0, 3, 1}},
             // Alternate frames after the numbered ones, in either letter case.
             Case{{"+abutton", "+0button", "door", "+Bbutton", "+1button"}, {1, 4, 0, 3, 2}},
             // Frames of one animation share the name after the frame character exactly.
             Case{{"+0fan", "+0FAN", "+1fan", "+1FAN"}, {0, 2, 1, 3}},
             // Not frames: a character outside 0-9 and a-j, or no base name at all.
             Case{{"+kwall", "+", "+1x", "+zwall", "+0x"}, {0, 1, 4, 2, 3}},
         }) {
        EXPECT_EQ(SheetOrder(c.names), c.order) << ::testing::PrintToString(c.names);
    }
}

TEST(SheetGrid, SplitsIntoPagesNoTallerThanTheLimitAndEachPageOnlyAsTallAsItsRows) {
    SheetGrid grid(400, 128);
    ASSERT_EQ(grid.Columns(), 2);  // 16 + 128 + 16 + 128 + 16 <= 400 < one more column
    std::size_t perPage = static_cast<std::size_t>(grid.Columns() * grid.RowsPerPage());
    int fullPage = grid.PageHeight(0, perPage);
    EXPECT_LE(fullPage, SheetLayout::MaxPageHeight);
    EXPECT_GT(fullPage + 128 + SheetLayout::LabelHeight + SheetLayout::RowGap, SheetLayout::MaxPageHeight);

    EXPECT_EQ(grid.PageCount(0), 1);
    EXPECT_EQ(grid.PageCount(perPage), 1);
    EXPECT_EQ(grid.PageCount(perPage + 1), 2);
    EXPECT_EQ(grid.PageHeight(1, perPage + 1), grid.PageHeight(0, 1));
    EXPECT_EQ(grid.Place(perPage).page, 1);
    EXPECT_EQ(grid.Place(perPage).y, grid.Place(0).y);
    EXPECT_EQ(grid.Place(1).x - grid.Place(0).x, 128 + SheetLayout::ColumnGap);
    EXPECT_EQ(grid.Place(2).x, grid.Place(0).x);
}

Bytes Header(std::int32_t width, std::int32_t height, std::vector<std::int32_t> offsets) {
    Bytes header = fixtures::MakeName16("t");
    platform::AppendInt32LE(header, width);
    platform::AppendInt32LE(header, height);
    for (std::int32_t offset : offsets) platform::AppendInt32LE(header, offset);
    return header;
}

TEST(MiptexHeader, AcceptsOnlyPositiveSizesWithEveryLevelInsideTheRecord) {
    // A 16x8 record: levels of 128, 32, 8 and 2 bytes after the 40-byte header.
    const std::vector<std::int32_t> sound = {40, 168, 200, 208};
    struct Case {
        const char* what;
        Bytes header;
        std::int64_t recordBytes;
        std::string fault;  // empty when the record is sound
    };
    for (const Case& c : {
             Case{"sound", Header(16, 8, sound), 210, ""},
             Case{"header cut short", Bytes(30, 0), 30, "the record (30 bytes) is shorter than a texture header"},
             Case{"zero width", Header(0, 8, sound), 210, "its size 0x8 is not a picture's"},
             Case{"negative height", Header(16, -8, sound), 210, "its size 16x-8 is not a picture's"},
             Case{"last level cut", Header(16, 8, sound), 209,
                  "mip level 3 (2 bytes at 208) does not lie inside the record of 209 bytes"},
             Case{"level in the header", Header(16, 8, {8, 168, 200, 208}), 210, "mip level 0 (128 bytes at 8)"},
             Case{"negative offset", Header(16, 8, {40, -1, 200, 208}), 210, "mip level 1 (32 bytes at -1)"},
             Case{"huge size", Header(0x7FFFFFFF, 0x7FFFFFFF, sound), 210, "mip level 0 (4611686014132420609 bytes"},
         }) {
        SCOPED_TRACE(c.what);
        std::string fault;
        std::optional<MiptexHeader> header = CheckMiptexHeader(c.header.data(), c.header.size(), c.recordBytes, fault);
        EXPECT_EQ(header.has_value(), c.fault.empty());
        EXPECT_EQ(fault.rfind(c.fault, 0), 0u) << fault;
    }
}

TEST(MiptexPicture, FitsInTheCellKeepingProportionsAndAveragesThePixelsItScalesDown) {
    EXPECT_EQ(FitInCell(64, 128, 128).width, 64);
    EXPECT_EQ(FitInCell(256, 128, 128).height, 64);
    EXPECT_EQ(FitInCell(128, 512, 128).width, 32);
    EXPECT_EQ(FitInCell(1000, 3, 128).height, 1);

    // A 4x2 texture shown at 2x1: each shown pixel is the mean of a 2x2 block.
    Palette palette{};
    palette[1] = 0x000000;
    palette[2] = 0x646464;
    palette[3] = 0xFF0080;
    Bytes record = fixtures::MakeMiptexFromPixels(fixtures::MakeName16("t"), 4, 2, {1, 2, 3, 3, 2, 1, 3, 3});
    test::TempDir dir;
    fixtures::WriteBytes((dir / "r").string(), record);
    platform::File file;
    ASSERT_TRUE(file.Open((dir / "r").string(), platform::FileMode::ArchiveRead));
    std::string fault;
    std::optional<MiptexHeader> header = CheckMiptexHeader(record.data(), record.size(), std::ssize(record), fault);
    ASSERT_TRUE(header) << fault;
    std::optional<Picture> picture = ReadShownPicture(file, 0, *header, palette, {2, 1});
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->colours, (std::vector<std::uint32_t>{0x323232, 0xFF0080}));
    EXPECT_FALSE(ReadShownPicture(file, std::ssize(record) - 20, *header, palette, {2, 1})) << "past the end";
}

Bytes PaletteBytes(unsigned char fill) {
    return Bytes(PaletteLayout::Bytes, fill);
}

TEST(PaletteSource, TakesTheFirstWholePaletteInArchiveOrderAndWarnsOfTheOthers) {
    test::TempDir game;
    Bytes outside = fixtures::MakePak({{"gfx/palette.lmp", PaletteBytes(1)}});
    fixtures::PatchInt32(outside, outside.size() - 8, 1 << 20);  // the member's position
    fixtures::WriteBytes((game / "pak0.pak").string(), outside);
    fixtures::WriteBytes((game / "PAK1.PAK").string(), fixtures::MakePak({{"GFX/Palette.lmp", Bytes(700, 2)},
                                                                            {"gfx/palette.lmp", PaletteBytes(3)}}));
    fixtures::WriteBytes((game / "pak2.pak").string(), fixtures::MakePak({{"gfx/palette.lmp", PaletteBytes(4)}}));

    test::RecordingSinks sinks;
    Palette palette = LoadPalette(game.Dir(), sinks);
    EXPECT_EQ(palette[0], 0x030303u);
    ASSERT_EQ(sinks.warnings.size(), 2u);
    EXPECT_EQ(sinks.warnings[0].archive, "pak0.pak");
    EXPECT_EQ(sinks.warnings[0].what, "its bytes (at 1048576) lie outside the archive");
    EXPECT_EQ(sinks.warnings[1].map, "GFX/Palette.lmp");
    EXPECT_EQ(sinks.warnings[1].what, "holds 700 bytes, not the 768 of a palette");

    // A palette file: red, green, blue a colour.
    Bytes file = PaletteBytes(0);
    file[3] = 0x12, file[4] = 0x34, file[5] = 0x56;
    fixtures::WriteBytes((game / "palette.lmp").string(), file);
    EXPECT_EQ(LoadPalette((game / "palette.lmp").string(), sinks)[1], 0x123456u);
}

}  // namespace
}  // namespace moxtrel::preview
