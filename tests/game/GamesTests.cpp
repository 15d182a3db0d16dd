// The game table: every game is found by its kind and by its command name,
// and nothing else is a game.
#include "game/Games.h"

#include <gtest/gtest.h>

namespace moxtrel {
namespace {

TEST(Games, EachGameIsFoundByItsKindAndCommandNameAndNothingElseIs) {
    for (const Game& game : AllGames()) {
        EXPECT_EQ(FindGame(game.kind), &game);
        EXPECT_EQ(FindGameByCommandName(game.commandName), &game);
        EXPECT_EQ(game.dataDirectory.back(), '/');
    }
    EXPECT_EQ(FindGame(-1), nullptr);
    EXPECT_EQ(FindGame(2), nullptr);
    EXPECT_EQ(FindGameByCommandName("Quake"), nullptr);
}

}  // namespace
}  // namespace moxtrel
