#include "cli/Command.h"

#include <string>

#include "extract/ExtractionRun.h"

namespace moxtrel::cli {

void AddGameOption(CLI::App& subcommand, int& game) {
    subcommand
        .add_option_function<std::string>(
            "--game", [&game](const std::string& name) { game = name == "hexen2" ? GameHexen2 : GameQuake; },
            "The game whose files are used (default: quake)")
        ->check(CLI::IsMember({"quake", "hexen2"}));
}

}  // namespace moxtrel::cli
