#include <gtest/gtest.h>

#include "pictures/PaletteMatch.h"

namespace moxtrel::pictures {
namespace {

// Grey everywhere (so every colour but these repeats), and a few colours
// placed for each rule.
Palette TestPalette() {
    Palette palette;
    palette.fill(0x808080);
    palette[1] = 0x000A00;    // nearer (0,0,0) in plain RGB distance
    palette[2] = 0x00000B;    // nearer (0,0,0) as the eye sees it (redmean)
    palette[3] = 0xC8C800;    // the nearest ordinary colour to a bright yellow
    palette[4] = 0xBE00BE;    // the nearest ordinary colour to colour 255
    palette[10] = 0x32463C;   // repeated ...
    palette[20] = 0x32463C;   // ... here
    palette[240] = 0xFFFF00;  // fullbright
    palette[255] = 0xC800C8;
    return palette;
}

TEST(PaletteMatch, ExactColoursTakeTheirLowestNumberAndOthersTheNearestOrdinaryColourByRedmean) {
    PaletteMatcher matcher(TestPalette());
    struct Case {
        std::uint32_t colour;
        bool fence;
        int number;
    };
    for (const Case& c : {
             Case{0x808080, false, 0},
             Case{0x32463C, false, 10},
             Case{0x000000, false, 2},
             Case{0xFFFF00, false, 240},
             Case{0xFEFF00, false, 3},  // near a fullbright colour, not one
             Case{0xC800C8, false, 255},
             Case{0xC900C8, false, 4},  // near colour 255, not it
             Case{0xC800C8, true, 4},   // opaque in a fence: never 255
             Case{0xFFFF00, true, 240},
         }) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.colour << (c.fence ? " in a fence" : ""));
        EXPECT_EQ(matcher.Number(c.colour, c.fence), c.number);
    }
}

}  // namespace
}  // namespace moxtrel::pictures
