#pragma once
// The games Moxtrel knows, and everything a game kind decides in one table:
// its data sub-directory, the executable a drive scan looks for, the name of
// the package it writes and the prompt of the Locate dialog. The windows hold
// a game as a number (0 Quake, 1 Hexen II; the main dialog holds -1 while
// none is chosen) and turn it into a GameKind where they hand it on.

#include <optional>
#include <span>
#include <string_view>

namespace moxtrel {

// The values are the windows' numbers of the games.
enum class GameKind { Quake = 0, HexenII = 1 };

struct Game {
    GameKind kind;
    std::string_view commandName;    // as moxtrel-cli's --game takes it
    std::string_view dataDirectory;  // below the installation folder, ends with '/'
    std::string_view executable;     // matched in any letter case
    std::string_view packageName;    // written beside the archives
    std::string_view locatePrompt;   // the Locate dialog's first line
};

const Game& GameOf(GameKind kind);

// The kind a window's number stands for; none for a number that is no game.
std::optional<GameKind> GameKindOf(int number);

// The game moxtrel-cli's --game names ("quake", "hexen2"), or nullptr.
const Game* FindGameByCommandName(std::string_view name);

// Every game, in kind order.
std::span<const Game> AllGames();

}  // namespace moxtrel
