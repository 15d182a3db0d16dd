#include <gtest/gtest.h>

#include <algorithm>

#include "cli/TerminalSinks.h"
#include "support/CapturedFile.h"

namespace moxtrel::test {
namespace {

void RunLikeAnExtraction(cli::TerminalSinks& sinks) {
    sinks.ShowMessage("Invalid Pak file.", "File IO Error", MessageKind::Exclamation);
    sinks.SetRange(3000);
    sinks.SetPosition(0);
    sinks.SetStatus("Extracting textures. Please wait...");
    for (int i = 0; i < 1500; ++i) sinks.Step();
    sinks.Warn("PAK1.PAK", "maps/e2m1.bsp", "texture lump beyond the end of the archive");
    sinks.Warn("PAK1.PAK", "", "the archive header is cut short");
    for (int i = 0; i < 1500; ++i) sinks.Step();
    sinks.SetStatus("Writing directory table. Please wait...");
    sinks.SetPosition(0);
    sinks.SetStatus("Extraction complete!");
}

TEST(TerminalSinks, WithoutATerminalOnlyMessagesAndWarningsArePrinted) {
    CapturedFile err;
    cli::TerminalSinks sinks(err.File(), false);
    RunLikeAnExtraction(sinks);
    sinks.Finish(true);
    EXPECT_EQ(err.Text(),
              "File IO Error: Invalid Pak file.\n"
              "warning: PAK1.PAK: maps/e2m1.bsp: texture lump beyond the end of the archive\n"
              "warning: PAK1.PAK: the archive header is cut short\n");
}

TEST(TerminalSinks, OnATerminalTheBarIsRedrawnInPlaceAtMostOncePerPercent) {
    CapturedFile err;
    const int width = 60;
    cli::TerminalSinks sinks(err.File(), true, width);
    RunLikeAnExtraction(sinks);
    sinks.Finish(true);
    std::string text = err.Text();

    // A message before the work starts draws no bar.
    EXPECT_EQ(text.rfind("File IO Error: Invalid Pak file.\n\r[", 0), 0u) << text;
    auto redraws = std::count(text.begin(), text.end(), '\r');
    EXPECT_GT(redraws, 100);
    EXPECT_LT(redraws, 115);  // 3000 steps, but only a hundred percentages
    std::string half = "[" + std::string(15, '#') + std::string(15, '.') + "]  50%  Extracting textures.\r";  // cut to the width
    EXPECT_NE(text.find("\r" + half), std::string::npos);
    // The warning takes the bar's line (blanked first) and the bar comes back under it.
    EXPECT_NE(text.find("\rwarning: PAK1.PAK: maps/e2m1.bsp: texture lump beyond the end of the archive\n\r["),
              std::string::npos);
    // The run's end leaves its last status on a line of its own.
    EXPECT_EQ(text.substr(text.size() - 22), "\rExtraction complete!\n");
    // No drawn bar is as wide as the terminal, so a carriage return can redraw it.
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        if (text.compare(start, 1, "[") == 0) {
            EXPECT_LT(end - start, static_cast<std::size_t>(width));
        }
        start = end + 1;
    }
}

TEST(TerminalSinks, AFailedRunBlanksTheBarAndPrintsNoStatusLine) {
    CapturedFile err;
    cli::TerminalSinks sinks(err.File(), true, 80);
    sinks.SetRange(10);
    sinks.SetStatus("Extracting textures. Please wait...");
    sinks.Step();
    sinks.ShowMessage("No space left on device", "File IO error", MessageKind::Exclamation);
    sinks.Finish(false);
    std::string text = err.Text();
    EXPECT_NE(text.find("\rFile IO error: No space left on device\n"), std::string::npos) << text;
    // The bar drawn again under the message is overwritten with blanks, and
    // the cursor goes back to the start of the now empty line.
    std::string bar = "[" + std::string(3, '#') + std::string(27, '.') + "]  10%  Extracting textures. Please wait...";
    EXPECT_EQ(text.substr(text.rfind('\n') + 1), "\r" + bar + "\r" + std::string(bar.size(), ' ') + "\r");
}

}  // namespace
}  // namespace moxtrel::test
