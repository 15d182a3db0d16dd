#pragma once
// `moxtrel-cli extract GAME_DIR [--game quake|hexen2]`: the extraction run of
// the main dialog's Begin button, in GAME_DIR, printing the package's summary.

#include <string>

#include "cli/Command.h"
#include "platform/Registry.h"

namespace moxtrel::cli {

// The run registers its package in `registry`, which must outlive the command.
Command AddExtractCommand(CLI::App& app, platform::Registry& registry);

// GAME_DIR as the run wants it: absolute, without "." components, ending in '/'.
std::string GameDirectoryFromArgument(const std::string& argument);

}  // namespace moxtrel::cli
