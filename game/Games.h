#pragma once
// The games Moxtrel knows, and everything a game kind decides in one table:
// its data sub-directory, the executable a drive scan looks for, the name of
// the package it writes and the prompt of the Locate dialog. A game kind is an
// int: 0 Quake, 1 Hexen II; any other number is no game (the main dialog
// holds -1 while none is chosen).

#include <span>
#include <string_view>

namespace moxtrel {

inline constexpr int GameQuake = 0;
inline constexpr int GameHexen2 = 1;

struct Game {
    int kind;
    std::string_view commandName;    // as moxtrel-cli's --game takes it
    std::string_view dataDirectory;  // below the installation folder, ends with '/'
    std::string_view executable;     // matched in any letter case
    std::string_view packageName;    // written beside the archives
    std::string_view locatePrompt;   // the Locate dialog's first line
};

// The game of kind `kind`, or nullptr when the number is no game.
const Game* FindGame(int kind);

// The game moxtrel-cli's --game names ("quake", "hexen2"), or nullptr.
const Game* FindGameByCommandName(std::string_view name);

// Every game, in kind order.
std::span<const Game> AllGames();

}  // namespace moxtrel
