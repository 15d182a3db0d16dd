#pragma once
// `moxtrel-cli extract GAME_DIR [--game quake|hexen2]`: the extraction run of
// the main dialog's Begin button, in GAME_DIR, printing the package's summary.

#include <string>

#include "cli/Command.h"

namespace moxtrel::cli {

Command AddExtractCommand(CLI::App& app);

// GAME_DIR as the run wants it: absolute, without "." components, ending in '/'.
std::string GameDirectoryFromArgument(const std::string& argument);

}  // namespace moxtrel::cli
