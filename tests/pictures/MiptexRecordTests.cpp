#include <gtest/gtest.h>

#include <functional>

#include "pictures/MiptexRecord.h"
#include "tools/GameWriter.h"

namespace moxtrel::pictures {
namespace {

constexpr std::uint32_t Black = 0x000000, White = 0xFFFFFF;
constexpr std::uint32_t MidGrey = 0x808080;     // the mean of black and white in sRGB numbers
constexpr std::uint32_t LinearGrey = 0xBCBCBC;  // their mean in light: 188 = sRGB of 0.5
constexpr std::uint32_t Red = 0xFF0000;

Palette TestPalette() {
    Palette palette;
    palette.fill(0x123456);
    palette[1] = Black;
    palette[2] = White;
    palette[3] = MidGrey;
    palette[4] = LinearGrey;
    palette[5] = Red;
    palette[255] = 0xFF00FF;
    return palette;
}

// A 16 x 16 picture whose pixel (x, y) has colour and alpha `pixel(x, y)` (0xRRGGBBAA).
RgbaPicture Picture(const std::function<std::uint32_t(int, int)>& pixel) {
    RgbaPicture picture{16, 16, {}};
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            std::uint32_t rgba = pixel(x, y);
            for (int shift : {24, 16, 8, 0}) picture.rgba.push_back(static_cast<unsigned char>(rgba >> shift));
        }
    }
    return picture;
}

TEST(MiptexRecord, HoldsTheNameSizeOffsetsAndFourLevels) {
    PaletteMatcher matcher(TestPalette());
    fixtures::Bytes record = MakeMiptexRecord("+0lava", Picture([](int, int) { return (Red << 8) | 0xFF; }), matcher);

    ASSERT_EQ(record.size(), 40u + 256 + 64 + 16 + 4);
    EXPECT_EQ(fixtures::Bytes(record.begin(), record.begin() + 16), fixtures::MakeName16("+0lava"));
    EXPECT_EQ(fixtures::ReadInt32(record, 16), 16);
    EXPECT_EQ(fixtures::ReadInt32(record, 20), 16);
    EXPECT_EQ(fixtures::ReadInt32(record, 24), 40);
    EXPECT_EQ(fixtures::ReadInt32(record, 28), 40 + 256);
    EXPECT_EQ(fixtures::ReadInt32(record, 32), 40 + 256 + 64);
    EXPECT_EQ(fixtures::ReadInt32(record, 36), 40 + 256 + 64 + 16);
    EXPECT_EQ(std::count(record.begin() + 40, record.end(), 5), 340);
}

TEST(MiptexRecord, SmallerLevelsAverageTheFullPictureInLinearLight) {
    PaletteMatcher matcher(TestPalette());
    // Black and white pixels in a checkerboard, alpha ignored outside fences.
    RgbaPicture checkers =
        Picture([](int x, int y) { return (((x + y) % 2 ? White : Black) << 8) | (x == 0 ? 0 : 0xFF); });

    fixtures::Bytes record = MakeMiptexRecord("checkers", checkers, matcher);

    EXPECT_EQ(record[40], 1);
    EXPECT_EQ(record[41], 2);
    EXPECT_EQ(std::count(record.begin() + 40 + 256, record.end(), 4), 84) << "every pixel of levels 1 to 3";
}

TEST(MiptexRecord, AFenceIsSeeThroughWhereAlphaIsBelowHalfAndWhereMostOfABlockIs) {
    PaletteMatcher matcher(TestPalette());
    // Columns 0-3: alpha 127, 128, 0, 255 in turn; each 2x2 block of columns
    // 0-1 has two see-through pixels, of columns 2-3 two as well. Rows 8 and
    // up: three of each 2x2 block see-through. The colour is colour 255's.
    RgbaPicture fence = Picture([](int x, int y) {
        std::uint32_t alphas[] = {127, 128, 0, 255};
        std::uint32_t alpha = y >= 8 && (x % 2 == 0 || y % 2 == 0) ? 0 : alphas[x % 4];
        return 0xFF00FF00u | alpha;
    });

    fixtures::Bytes record = MakeMiptexRecord("{grate", fence, matcher);

    fixtures::Bytes firstRow(record.begin() + 40, record.begin() + 44);
    // Opaque pixels of colour 255's colour take the nearest other: red.
    EXPECT_EQ(firstRow, (fixtures::Bytes{255, 5, 255, 5}));
    EXPECT_EQ(record[40 + 256], 5) << "half see-through: the opaque half";
    EXPECT_EQ(record[40 + 256 + 4 * 8], 255) << "more than half see-through";
}

}  // namespace
}  // namespace moxtrel::pictures
