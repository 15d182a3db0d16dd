#include "app/MoxtrelCommandLineInfo.h"

#include <cstring>

#include "platform/File.h"
#include "platform/Text.h"

namespace moxtrel {

void CMoxtrelCommandLineInfo::ParseParam(const char* pszParam, bool bFlag, bool) {
    // A plain argument, whatever it says, keeps the standard start-up from
    // taking it as a document to open.
    if (!bFlag || platform::EqualsIgnoringCase(pszParam, "auto")) {
        m_nShellCommand = AutomaticCommand;
        return;
    }
    // The leading '-' of --help and --version is already taken off.
    if (std::strcmp(pszParam, "-help") == 0) m_showHelp = true;
    if (std::strcmp(pszParam, "-version") == 0) m_showVersion = true;
    // The standard flags (printing, DDE, automation, embedding,
    // unregistering) select nothing in a program without documents: they
    // are ignored, and so is every unknown flag.
}

void ParseCommandLine(CMoxtrelCommandLineInfo& info, const std::vector<std::string>& arguments) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool isFlag = !argument.empty() && (argument[0] == '-' || argument[0] == '/');
        info.ParseParam(argument.c_str() + (isFlag ? 1 : 0), isFlag, i + 1 == arguments.size());
    }
}

const char* ProgramUsage() {
    return "Usage: moxtrel [auto]\n"
           "\n"
           "Turns the archives of an installed game into one texture package for a level\n"
           "editor. A dialog leads through three steps: choose the game, find its\n"
           "directory (browse the drives and folders with Manual Locate, or scan the\n"
           "drives for the game's executable with Search), then Begin. The package\n"
           "(Quake.wad) is written beside the game's archives, registered in the level\n"
           "editor's texture-pack settings, and summed up in the WAD File Info box.\n"
           "\n"
           "Options:\n"
           "  auto       accepted and ignored: the dialog opens the same\n"
           "  --help     print this help and exit\n"
           "  --version  print the version and exit\n"
           "\n"
           "Any other argument is ignored; nothing named on the command line is opened.\n"
           "moxtrel-cli does the same work from a terminal.\n";
}

}  // namespace moxtrel
