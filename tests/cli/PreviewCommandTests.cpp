#include <gtest/gtest.h>

#include <cairo.h>
#include <filesystem>

#include "cli/RunCli.h"
#include "preview/SheetLayout.h"
#include "support/TempDir.h"
#include "tools/GameWriter.h"

namespace moxtrel::test {
namespace {

namespace fs = std::filesystem;
using fixtures::Bytes;
using preview::SheetGrid;

// A palette whose 256 colours all differ: red is the index.
std::uint32_t PaletteColour(int index) {
    auto i = static_cast<std::uint32_t>(index);
    return (i << 16) | ((255 - i) << 8) | ((i * 37) & 0xFFu);
}

Bytes PaletteBytes() {
    Bytes bytes;
    for (int i = 0; i < 256; ++i) {
        std::uint32_t colour = PaletteColour(i);
        bytes.insert(bytes.end(), {static_cast<unsigned char>(colour >> 16), static_cast<unsigned char>(colour >> 8),
                                   static_cast<unsigned char>(colour)});
    }
    return bytes;
}

struct Texture {
    std::string name;
    int width, height;
    int seed;
    // Each 2x2 block is one colour, so a texture shown at half size keeps exact colours.
    int Index(int x, int y) const { return (seed + x / 2 * 7 + y / 2 * 13) & 0xFF; }
    Bytes Record() const {
        Bytes pixels;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) pixels.push_back(static_cast<unsigned char>(Index(x, y)));
        }
        return fixtures::MakeMiptexFromPixels(fixtures::MakeName16(name), width, height, pixels);
    }
};

// A game directory whose pak0.pak holds the palette, with `textures` in Quake.wad beside it.
std::string WriteGame(const TempDir& dir, const std::vector<Texture>& textures) {
    fixtures::WriteBytes((dir / "pak0.pak").string(), fixtures::MakePak({{"gfx/palette.lmp", PaletteBytes()}}));
    std::vector<fixtures::WadMember> members;
    for (const Texture& texture : textures) members.push_back({fixtures::MakeName16(texture.name), texture.Record()});
    std::string wad = (dir / "Quake.wad").string();
    fixtures::WriteBytes(wad, fixtures::MakeWad(members));
    return wad;
}

struct PngPage {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    // 0xFF000000, a colour no page has, outside the page.
    std::uint32_t At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0xFF000000u;
        return pixels[static_cast<std::size_t>(y * width + x)] & 0xFFFFFFu;
    }
};

PngPage ReadPng(const fs::path& path) {
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.string().c_str());
    PngPage page;
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        cairo_surface_flush(surface);
        page.width = cairo_image_surface_get_width(surface);
        page.height = cairo_image_surface_get_height(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        int stride = cairo_image_surface_get_stride(surface);
        for (int y = 0; y < page.height; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
            page.pixels.insert(page.pixels.end(), row, row + page.width);
        }
    }
    cairo_surface_destroy(surface);
    return page;
}

// Whether the cell at `slot` shows `texture` at its own size, pixel for pixel
// (`step` 2: at half its size).
::testing::AssertionResult ShowsTexture(const PngPage& page, const SheetGrid& grid, std::size_t slot,
                                        const Texture& texture, int step = 1) {
    preview::CellPlace place = grid.Place(slot);
    int width = texture.width / step, height = texture.height / step;
    int left = place.x + (grid.Cell() - width) / 2, top = place.y + grid.Cell() - height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (page.At(left + x, top + y) != PaletteColour(texture.Index(x * step, y * step))) {
                return ::testing::AssertionFailure() << texture.name << " differs at " << x << "," << y;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(PreviewCommand, DrawsEachTextureInItsCellInThePalettesColoursWithAnimationFramesTogether) {
    TempDir dir;
    std::vector<Texture> textures = {{"+1lava", 64, 64, 1}, {"wall", 32, 16, 2}, {"+0lava", 64, 64, 3}, {"big", 256, 128, 4}};
    std::string sheet = (dir / "sheet.png").string();

    CliResult result = RunCli({"preview", WriteGame(dir, textures), "-o", sheet});

    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, sheet + "\n");
    PngPage page = ReadPng(sheet);
    SheetGrid grid(1600, 128);
    ASSERT_EQ(page.width, 1600);
    EXPECT_EQ(page.height, grid.PageHeight(0, 4));
    EXPECT_GT(page.At(0, 0) & 0xE0E0E0u, 0xD0D0D0u) << "a light background";
    EXPECT_TRUE(ShowsTexture(page, grid, 0, textures[2]));
    EXPECT_TRUE(ShowsTexture(page, grid, 1, textures[0]));
    EXPECT_TRUE(ShowsTexture(page, grid, 2, textures[1]));
    EXPECT_TRUE(ShowsTexture(page, grid, 3, textures[3], 2));
}

TEST(PreviewCommand, ASheetTallerThanAPageGoesOnNumberedPages) {
    TempDir dir;
    SheetGrid grid(48, 16);  // one column of 16-pixel cells
    std::vector<Texture> textures;
    for (int i = 0; i <= grid.RowsPerPage(); ++i) textures.push_back({"t" + std::to_string(i), 16, 16, i});
    std::string sheet = (dir / "sheet.png").string();

    CliResult result = RunCli({"preview", WriteGame(dir, textures), "-o", sheet, "--width", "48", "--cell", "16"});

    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::string second = (dir / "sheet-2.png").string();
    EXPECT_EQ(result.out, sheet + "\n" + second + "\n");
    PngPage first = ReadPng(sheet), last = ReadPng(second);
    EXPECT_LE(first.height, preview::SheetLayout::MaxPageHeight);
    EXPECT_EQ(last.height, grid.PageHeight(1, textures.size()));
    EXPECT_TRUE(ShowsTexture(first, grid, textures.size() - 2, textures[textures.size() - 2]));
    EXPECT_TRUE(ShowsTexture(last, grid, textures.size() - 1, textures.back()));
}

TEST(PreviewCommand, DamagedRecordsAreCrossedBoxesWithAWarningAndTheRestIsDrawn) {
    TempDir dir;
    Texture sound{"sound", 64, 64, 5};
    Bytes lost = sound.Record();
    lost.resize(100);
    std::string wad = (dir / "damaged.wad").string();
    fixtures::WriteBytes(wad, fixtures::MakeWad({{fixtures::MakeName16("cut"), Bytes(20, 1)},
                                                 {fixtures::MakeName16("pic"), Bytes(800, 1), 0x42},
                                                 {fixtures::MakeName16("lost"), lost},
                                                 {fixtures::MakeName16("sound"), sound.Record()}}));
    fixtures::WriteBytes((dir / "palette.lmp").string(), PaletteBytes());
    std::string sheet = (dir / "sheet.png").string();

    CliResult result = RunCli({"preview", wad, "-o", sheet, "--palette", (dir / "palette.lmp").string()});

    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err,
              "warning: damaged.wad: texture cut: the record (20 bytes) is shorter than a texture header\n"
              "warning: damaged.wad: texture pic: a lump of type 0x42 is not a texture; left out\n"
              "warning: damaged.wad: texture lost: mip level 0 (4096 bytes at 40) does not lie inside the record "
              "of 100 bytes\n");
    PngPage page = ReadPng(sheet);
    SheetGrid grid(1600, 128);
    for (std::size_t crossed : {0u, 1u}) EXPECT_EQ(page.At(grid.Place(crossed).x, grid.Place(crossed).y + 64), 0xC0302Au);
    EXPECT_TRUE(ShowsTexture(page, grid, 2, sound));
}

TEST(PreviewCommand, WithoutAUsablePaletteOrPackageItFailsAndWritesNothing) {
    TempDir dir;
    std::string wad = WriteGame(dir, {{"wall", 16, 16, 1}});
    fs::create_directory(dir / "bare");
    fs::copy_file(wad, dir / "bare" / "Quake.wad");
    fs::create_directory(dir / "game");
    fixtures::WriteBytes((dir / "game" / "pak0.pak").string(), fixtures::MakePak({{"gfx/colormap.lmp", Bytes(10, 0)}}));
    fixtures::WriteBytes((dir / "short.lmp").string(), Bytes(767, 0));
    fs::create_directory(dir / "out");
    std::string sheet = (dir / "out" / "sheet.png").string();
    std::string bareWad = (dir / "bare" / "Quake.wad").string();

    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string error;
    };
    for (const Case& c : {
             Case{{bareWad}, 1, "Preview Error: no palette: " + (dir / "bare").string() + " holds no pak0.pak"},
             Case{{wad, "--palette", (dir / "game").string()}, 1,
                  "Preview Error: no palette: no whole gfx/palette.lmp in the archives of " + (dir / "game").string() +
                      " (pak0.pak)"},
             Case{{wad, "--palette", (dir / "short.lmp").string()}, 1,
                  "Preview Error: " + (dir / "short.lmp").string() + ": a palette file holds 768 bytes, this one 767"},
             Case{{(dir / "pak0.pak").string()}, 1, "Preview Error: pak0.pak: not a valid WAD2 package"},
             Case{{wad, "--cell", "8"}, 2, ""},
             Case{{wad, "--width", "100", "--cell", "128"}, 2, "--width must be at least --cell + 32 (160)"},
         }) {
        std::vector<std::string> args = {"preview", "-o", sheet};
        args.insert(args.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(::testing::PrintToString(args));
        CliResult result = RunCli(args);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind(c.error, 0), 0u) << result.err;
        EXPECT_TRUE(fs::is_empty(dir / "out"));
    }
}

}  // namespace
}  // namespace moxtrel::test
