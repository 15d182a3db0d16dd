#include "app/MoxtrelCommandLineInfo.h"

#include "platform/File.h"

namespace moxtrel {

void CMoxtrelCommandLineInfo::ParseParam(const char* pszParam, bool bFlag, bool) {
    // A plain argument, whatever it says, keeps the standard start-up from
    // taking it as a document to open.
    if (!bFlag || platform::EqualsIgnoringCase(pszParam, "auto")) {
        m_nShellCommand = AutomaticCommand;
        return;
    }
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

}  // namespace moxtrel
