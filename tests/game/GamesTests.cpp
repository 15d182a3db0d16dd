// The game table: every game is found by its kind and by its command name,
// and the windows' numbers 0 and 1 are the only numbers that are games.
#include "game/Games.h"

#include <gtest/gtest.h>

namespace moxtrel {
namespace {

TEST(Games, EachGameIsFoundByItsKindAndCommandNameAndNothingElseIs) {
    for (const Game& game : AllGames()) {
        EXPECT_EQ(&GameOf(game.kind), &game);
        EXPECT_EQ(FindGameByCommandName(game.commandName), &game);
        EXPECT_EQ(game.dataDirectory.back(), '/');
    }
    EXPECT_EQ(FindGameByCommandName("Quake"), nullptr);
}

TEST(Games, TheWindowsNumberQuakeZeroAndHexenOneAndNoOtherNumberIsAGame) {
    EXPECT_EQ(GameKindOf(0), GameKind::Quake);
    EXPECT_EQ(GameKindOf(1), GameKind::HexenII);
    for (int number : {-1, 2, 7}) EXPECT_EQ(GameKindOf(number), std::nullopt) << number;
}

}  // namespace
}  // namespace moxtrel
