#include "game/Games.h"

#include <cstddef>

namespace moxtrel {

namespace {

constexpr Game Games[] = {
    {GameKind::Quake, "quake", "id1/", "quake.exe", "Quake.wad",
     "Please find the Quake(tm) game executable directory..."},
    {GameKind::HexenII, "hexen2", "data1/", "hexen2.exe", "Hexen.wad",
     "Please find the Hexen(tm) 2 game executable directory..."},
};

constexpr bool OneRowPerKindInKindOrder() {
    for (std::size_t row = 0; row < std::size(Games); ++row) {
        if (static_cast<std::size_t>(Games[row].kind) != row) return false;
    }
    return true;
}
static_assert(OneRowPerKindInKindOrder(), "GameOf finds a kind's row by its value");

}  // namespace

const Game& GameOf(GameKind kind) { return Games[static_cast<std::size_t>(kind)]; }

std::optional<GameKind> GameKindOf(int number) {
    for (const Game& game : Games) {
        if (static_cast<int>(game.kind) == number) return game.kind;
    }
    return std::nullopt;
}

const Game* FindGameByCommandName(std::string_view name) {
    for (const Game& game : Games) {
        if (game.commandName == name) return &game;
    }
    return nullptr;
}

std::span<const Game> AllGames() { return Games; }

}  // namespace moxtrel
