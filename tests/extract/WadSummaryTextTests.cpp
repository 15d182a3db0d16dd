#include <gtest/gtest.h>

#include "extract/ExtractionRun.h"
#include "extract/WadSummaryText.h"

namespace moxtrel {
namespace {

TEST(WadSummaryText, SizeIsWholeKilobytesRoundedTowardZero) {
    struct Case {
        std::int64_t length;
        const char* shown;
    };
    for (const Case& c : {Case{0, "0 KB"}, Case{12, "0 KB"}, Case{1023, "0 KB"}, Case{1024, "1 KB"},
                          Case{1048575, "1023 KB"}, Case{1048576, "1024 KB"}, Case{-1023, "0 KB"},
                          Case{-2048, "-2 KB"}, Case{-2049, "-2 KB"}}) {
        SCOPED_TRACE(c.length);
        EXPECT_EQ(FormatWadSummary("Quake.wad", c.length, 0, 0, 0).fileSize, c.shown);
    }
}

TEST(WadSummaryText, CountsAreDecimalWithoutSeparatorsAndNegativesKeepTheirSign) {
    WadSummaryText text = FormatWadSummary("Hexen.wad", 5000000, 1234567, -5, 0);
    EXPECT_EQ(text.fileName, "Hexen.wad");
    EXPECT_EQ(text.fileSize, "4882 KB");
    EXPECT_EQ(text.total, "1234567");
    EXPECT_EQ(text.simple, "-5");
    EXPECT_EQ(text.animated, "0");
}

TEST(WadSummaryText, LinesPutEachLabelBeforeItsValueInTheBoxOrder) {
    WadSummary summary{"Quake.wad", 12 * 1024 + 1000, 3, 2, 1};
    auto lines = WadSummaryLines(FormatWadSummary(summary));
    EXPECT_EQ(lines[0], "File Name : Quake.wad");
    EXPECT_EQ(lines[1], "File Size : 12 KB");
    EXPECT_EQ(lines[2], "Total Entries in Wad : 3");
    EXPECT_EQ(lines[3], "Number of simple textrues : 2");
    EXPECT_EQ(lines[4], "Number of animated textures : 1");
}

}  // namespace
}  // namespace moxtrel
