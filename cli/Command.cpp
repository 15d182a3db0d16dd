#include "cli/Command.h"

#include <string>
#include <vector>

namespace moxtrel::cli {

namespace {

std::vector<std::string> CommandNames() {
    std::vector<std::string> names;
    for (const Game& game : AllGames()) names.emplace_back(game.commandName);
    return names;
}

}  // namespace

void AddGameOption(CLI::App& subcommand, GameKind& game) {
    subcommand
        .add_option_function<std::string>(
            "--game", [&game](const std::string& name) { game = FindGameByCommandName(name)->kind; },
            "The game whose files are used (default: quake)")
        ->check(CLI::IsMember(CommandNames()));
}

}  // namespace moxtrel::cli
