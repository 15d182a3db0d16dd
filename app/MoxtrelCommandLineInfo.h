#pragma once
// The program's command line. The only word it knows is "auto", the automatic
// command; every plain argument also counts as it, so nothing named on the
// command line is ever opened. --help and --version ask for the usage or the
// version to be printed instead of opening the dialog. Any other flag is
// ignored.

#include <string>
#include <vector>

namespace moxtrel {

class CMoxtrelCommandLineInfo {
public:
    // The standard start-up commands; the program has no documents, so none
    // of them has a visible effect.
    enum ShellCommand : int {
        FileNew = 0,
        FileOpen = 1,
        FilePrint = 2,
        FilePrintTo = 3,
        FileDDE = 4,
        AppUnregister = 5,
        FileNothing = -1,
    };
    // Outside the standard commands, so the standard start-up never acts on it.
    static constexpr int AutomaticCommand = 100;

    // One argument, after a leading '-' or '/' was taken off a flag.
    void ParseParam(const char* pszParam, bool bFlag, bool bLast);

    int m_nShellCommand = FileNew;
    // Set by --help and --version; the command above is left as it was.
    bool m_showHelp = false;
    bool m_showVersion = false;
};

// What --help prints: the usage, what the program does and the words it knows.
const char* ProgramUsage();

// Hands each argument after the program's name to ParseParam, left to right:
// a first character '-' or '/' makes it a flag and is taken off.
void ParseCommandLine(CMoxtrelCommandLineInfo& info, const std::vector<std::string>& arguments);

}  // namespace moxtrel
