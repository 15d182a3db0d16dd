#pragma once
// The five texts of a package's summary (file name, size in KB, total, simple
// and animated textures) with their labels, as the WAD File Info box shows
// them and moxtrel-cli prints them.

#include <array>
#include <cstdint>
#include <string>

namespace moxtrel {

struct WadSummary;

namespace WadSummaryLabels {
inline constexpr const char* FileName = "File Name :";
inline constexpr const char* FileSize = "File Size :";
inline constexpr const char* Total = "Total Entries in Wad :";
inline constexpr const char* Simple = "Number of simple textrues :";
inline constexpr const char* Animated = "Number of animated textures :";
}  // namespace WadSummaryLabels

struct WadSummaryText {
    std::string fileName;  // the package's name without its directory
    std::string fileSize;  // length / 1024, rounded toward zero, then " KB"
    std::string total;
    std::string simple;
    std::string animated;
};

// Decimal without separators or leading zeros, negatives with a leading '-'.
WadSummaryText FormatWadSummary(const std::string& fileName, std::int64_t length, int total, int simple,
                                int animated);
WadSummaryText FormatWadSummary(const WadSummary& summary);

// "File Size : 12 KB" and the like: each label, a blank, its value, from the
// name down to the animated count.
std::array<std::string, 5> WadSummaryLines(const WadSummaryText& text);

}  // namespace moxtrel
