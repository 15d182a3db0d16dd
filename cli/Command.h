#pragma once
// What every subcommand of moxtrel-cli hands to main: the CLI11 subcommand it
// added, and what to run when the user chose it. Each subcommand keeps its
// parsed options in the run function's captures.

#include <functional>

#include <CLI/CLI.hpp>

#include "game/Games.h"

namespace moxtrel::cli {

// Exit codes of moxtrel-cli.
inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 1;  // the job ran and failed
inline constexpr int ExitUsage = 2;    // the command line was wrong
inline constexpr int ExitSkippedData = 3;  // the output was written, but damaged data was skipped

struct Command {
    CLI::App* subcommand = nullptr;
    std::function<int()> run;
};

// Adds `--game quake|hexen2` to `subcommand`, storing the game kind in `game`,
// which keeps its value (Quake) when the option is absent.
void AddGameOption(CLI::App& subcommand, GameKind& game);

}  // namespace moxtrel::cli
