// The command line: "auto" in any letter case, as a plain argument or after
// '-' or '/', or any plain argument at all, gives the automatic command;
// other flags are ignored; later arguments overwrite earlier ones.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/MoxtrelCommandLineInfo.h"

namespace moxtrel {
namespace {

using Info = CMoxtrelCommandLineInfo;

struct Case {
    const char* name;
    std::vector<std::string> arguments;
    int command;
};

// ctest and failures name a case by its name.
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class CommandLine : public ::testing::TestWithParam<Case> {};

TEST_P(CommandLine, GivesTheExpectedCommand) {
    Info info;
    ParseCommandLine(info, GetParam().arguments);
    EXPECT_EQ(info.m_nShellCommand, GetParam().command);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLine,
    ::testing::Values(
        Case{"NoArguments", {}, Info::FileNew},
        Case{"Auto", {"auto"}, Info::AutomaticCommand},
        Case{"AutoInMixedCase", {"AuTo"}, Info::AutomaticCommand},
        Case{"AutoFlag", {"-auto"}, Info::AutomaticCommand},
        Case{"AutoSlashFlagInCapitals", {"/AUTO"}, Info::AutomaticCommand},
        // A plain argument is never a document to open.
        Case{"FileName", {"readme.txt"}, Info::AutomaticCommand},
        Case{"EmptyArgument", {""}, Info::AutomaticCommand},
        // Flags that only begin with auto, or are not auto at all.
        Case{"FlagStartingWithAuto", {"-autox"}, Info::FileNew},
        Case{"DoubleDashAuto", {"--auto"}, Info::FileNew},
        Case{"BareSlash", {"/"}, Info::FileNew},
        Case{"PrintFlag", {"-p"}, Info::FileNew},
        // Letter case folds A to Z only.
        Case{"AutoWithNonAsciiLetter", {"-AUTO\xC3\x9F"}, Info::FileNew},
        // Left to right: an unknown flag changes nothing, a plain argument after it counts.
        Case{"UnknownFlagThenAuto", {"-x", "auto"}, Info::AutomaticCommand},
        Case{"AutoThenUnknownFlag", {"auto", "-x"}, Info::AutomaticCommand}));

// --help and --version are asked for by their exact long forms only, and
// leave the command as the other arguments make it.
TEST(CommandLine, AsksForHelpOrVersionByTheirLongFormsOnly) {
    struct Request {
        std::vector<std::string> arguments;
        bool help, version;
        int command;
    };
    const Request requests[] = {
        {{"--help"}, true, false, Info::FileNew},
        {{"--version"}, false, true, Info::FileNew},
        {{"auto", "--help"}, true, false, Info::AutomaticCommand},
        {{"--version", "--help", "/auto"}, true, true, Info::AutomaticCommand},
        {{"-help", "/help", "--HELP", "-h", "--versions", "help"}, false, false, Info::AutomaticCommand},
    };
    for (const Request& request : requests) {
        SCOPED_TRACE(::testing::PrintToString(request.arguments));
        Info info;
        ParseCommandLine(info, request.arguments);
        EXPECT_EQ(info.m_showHelp, request.help);
        EXPECT_EQ(info.m_showVersion, request.version);
        EXPECT_EQ(info.m_nShellCommand, request.command);
    }
    EXPECT_THAT(ProgramUsage(), ::testing::StartsWith("Usage: moxtrel [auto]\n"));
}

TEST(CommandLineInfo, StartsWithTheStandardNewCommand) {
    Info info;
    EXPECT_EQ(info.m_nShellCommand, Info::FileNew);
    info.ParseParam("auto", true, true);
    EXPECT_EQ(info.m_nShellCommand, Info::AutomaticCommand);
}

}  // namespace
}  // namespace moxtrel
