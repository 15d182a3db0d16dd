#include "extract/WadSummaryText.h"

#include "extract/ExtractionRun.h"

namespace moxtrel {

namespace {
constexpr std::int64_t BytesPerKilobyte = 1024;
}

WadSummaryText FormatWadSummary(const std::string& fileName, std::int64_t length, int total, int simple,
                                int animated) {
    // Integer division rounds toward zero, so 1023 bytes show as 0 KB.
    return WadSummaryText{
        fileName,
        std::to_string(length / BytesPerKilobyte) + " KB",
        std::to_string(total),
        std::to_string(simple),
        std::to_string(animated),
    };
}

WadSummaryText FormatWadSummary(const WadSummary& summary) {
    return FormatWadSummary(summary.fileName, summary.length, summary.total, summary.simple, summary.animated);
}

std::array<std::string, 5> WadSummaryLines(const WadSummaryText& text) {
    return {
        std::string(WadSummaryLabels::FileName) + " " + text.fileName,
        std::string(WadSummaryLabels::FileSize) + " " + text.fileSize,
        std::string(WadSummaryLabels::Total) + " " + text.total,
        std::string(WadSummaryLabels::Simple) + " " + text.simple,
        std::string(WadSummaryLabels::Animated) + " " + text.animated,
    };
}

}  // namespace moxtrel
