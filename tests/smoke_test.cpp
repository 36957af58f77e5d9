#include <gtest/gtest.h>
#include "game/Game.h"

TEST(Smoke, GameConstructs) {
    Game game;
    EXPECT_EQ(game.matchState, "game");
}
