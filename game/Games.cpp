#include "game/Games.h"

namespace moxtrel {

namespace {

constexpr Game Games[] = {
    {GameQuake, "quake", "id1/", "quake.exe", "Quake.wad",
     "Please find the Quake(tm) game executable directory..."},
    {GameHexen2, "hexen2", "data1/", "hexen2.exe", "Hexen.wad",
     "Please find the Hexen(tm) 2 game executable directory..."},
};

}  // namespace

const Game* FindGame(int kind) {
    for (const Game& game : Games) {
        if (game.kind == kind) return &game;
    }
    return nullptr;
}

const Game* FindGameByCommandName(std::string_view name) {
    for (const Game& game : Games) {
        if (game.commandName == name) return &game;
    }
    return nullptr;
}

std::span<const Game> AllGames() { return Games; }

}  // namespace moxtrel
