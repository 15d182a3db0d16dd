#include <gtest/gtest.h>

#include <cstdio>

#include "cli/RunCli.h"
#include "cli/SearchCommand.h"
#include "locate/DriveMapFixture.h"
#include "platform/Environment.h"
#include "support/CapturedFile.h"

namespace moxtrel::test {
namespace {

std::map<std::string, std::string> Drives(const DriveMap& map) {
    return {{platform::DriveMapVariable, map.MapPath()}};
}

TEST(SearchCommand, PrintsTheGameDirectoryOfTheFirstExecutableAndEachDirectoryEntered) {
    DriveMap map;
    std::string c = map.AddDrive("c", "fixed");
    WriteGame(c + "Games/Quake", {.executable = "QUAKE.EXE", .dataDirectory = "ID1"});

    CliResult result = RunCli({"search", "--hard"}, Drives(map));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, Native(c + "Games/Quake/ID1/") + "\n");
    std::vector<std::string> entered = Lines(result.err);
    EXPECT_NE(std::find(entered.begin(), entered.end(), Native(c + "Games")), entered.end()) << result.err;
    EXPECT_NE(std::find(entered.begin(), entered.end(), Native(c + "Games/Quake")), entered.end()) << result.err;
}

TEST(SearchCommand, SaysFileNotFoundWhenTheFirstExecutableLacksAnArchive) {
    DriveMap map;
    std::string c = map.AddDrive("c", "fixed");
    std::string d = map.AddDrive("d", "fixed");
    WriteGame(c + "Quake", {.pak1 = ""});
    WriteGame(d + "Quake");

    CliResult result = RunCli({"search"}, Drives(map));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "File not found\n");
}

TEST(SearchCommand, SearchesOnlyTheKindsOfDriveAskedForAndTheGameAskedFor) {
    DriveMap map;
    std::string c = map.AddDrive("c", "fixed");
    std::string stick = map.AddDrive("stick", "removable");
    std::string net = map.AddDrive("net", "remote");
    WriteGame(c + "Quake");
    WriteGame(stick + "Quake");
    WriteGame(net + "Hexen2", {.executable = "hexen2.exe", .dataDirectory = "data1"});

    EXPECT_EQ(RunCli({"search", "--removable"}, Drives(map)).out, Native(stick + "Quake/id1/") + "\n");
    EXPECT_EQ(RunCli({"search"}, Drives(map)).out, Native(c + "Quake/id1/") + "\n") << "the hard drives by default";
    EXPECT_EQ(RunCli({"search", "--network", "--game", "hexen2"}, Drives(map)).out, Native(net + "Hexen2/data1/") + "\n");
    EXPECT_EQ(RunCli({"search", "--network"}, Drives(map)).out, "File not found\n");
    EXPECT_EQ(RunCli({"search", "--game", "doom"}, Drives(map)).exitCode, 2);
}

TEST(SearchCommand, ListsTheDrivesAsDriveMapLinesWithTheSerialOfTheMediumNow) {
    DriveMap map;
    std::string c = map.AddDrive("c", "fixed", 0x1234ABCD);
    std::string cd = map.AddDrive("cd", "cdrom", 0x42, /*withMedia=*/false);
    map.AddDrive("proc", "unknown");

    CliResult result = RunCli({"search", "--list-drives"}, Drives(map));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, c + " fixed 1234ABCD\n" + cd + " cdrom\n") << "no serial for an empty drive, no pseudo drive";
}

TEST(SearchCommand, WarnsAboutLinesOfTheDriveMapItSkips) {
    DriveMap map;
    std::string bad = map.MapPath() + ".bad";
    std::FILE* file = std::fopen(bad.c_str(), "w");
    std::fputs("/somewhere floppy\n", file);
    std::fclose(file);
    CliResult result = RunCli({"search"}, {{platform::DriveMapVariable, bad}});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("warning: MOXTREL_VOLUMES: line 1:"), std::string::npos) << result.err;
}

TEST(DirectoryPrinter, RedrawsOneLineOnATerminalAtMostOncePerInterval) {
    CapturedFile out;
    cli::DirectoryPrinter printer(out.File(), /*isTerminal=*/true, 12, std::chrono::hours(1));
    printer.DirectoryEntered("/games/a-very-long-name");
    printer.DirectoryEntered("/games/next");
    printer.Finish();
    EXPECT_EQ(out.Text(), "\ry-long-name\033[K\r\033[K") << "the end of the path, cut to the width";
}

}  // namespace
}  // namespace moxtrel::test
