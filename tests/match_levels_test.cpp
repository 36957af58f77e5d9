// The level table and the set-up of a match; which player an enemy goes for.

#include "tests/match_test_support.h"

namespace {

using matchtest::MatchTest;
using matchtest::placeFighter;

struct Walls {
    float right, left, top, floor;
};

Walls wallsOf(const Game& game) {
    return {game.arenaRight, game.arenaLeft, game.arenaTop, game.arenaFloor};
}

void expectWalls(const Game& game, float arenaScale) {
    const Walls walls = wallsOf(game);
    EXPECT_FLOAT_EQ(walls.right, arenaScale * 1024 / 2);
    EXPECT_FLOAT_EQ(walls.left, arenaScale * -1024 / 2);
    EXPECT_FLOAT_EQ(walls.top, arenaScale * -768 / 2);
    EXPECT_FLOAT_EQ(walls.floor, arenaScale * 768 / 2);
}

void expectFighter(const man& fighter, float scale, int team, const Colour& colour, int isRobot) {
    SCOPED_TRACE("fighter " + std::to_string(fighter.fighterNo));
    EXPECT_FLOAT_EQ(fighter.scale, scale);
    EXPECT_EQ(fighter.team, team);
    EXPECT_EQ(fighter.colour, colour);
    EXPECT_EQ(fighter.isRobot, isRobot);
    EXPECT_FLOAT_EQ(fighter.energy, fighter.maxEnergy);
    EXPECT_EQ(fighter.knockedOut, 0);
    EXPECT_FLOAT_EQ(fighter.cameraWeight, 1.0f);
}

const Colour grey{0, 65, 65, 65};
const Colour lightGrey{0, 175, 175, 175};
const Colour white{0, 255, 255, 255};
const Colour robotBlue{0, 70, 70, 90};

using MatchLevels = MatchTest;

TEST_F(MatchLevels, LevelOneIsOneEnemyOfThePlayersSizeInTheSmallestArena) {
    setUpMatch("1", 1);
    EXPECT_EQ(game.fighterCount, 2);
    EXPECT_FLOAT_EQ(game.arenaRight, 768);
    EXPECT_FLOAT_EQ(game.arenaLeft, -768);
    EXPECT_FLOAT_EQ(game.arenaTop, -576);
    EXPECT_FLOAT_EQ(game.arenaFloor, 576);
    expectFighter(game.fighters[1], 2.0f, 1, lightGrey, 0);
    expectFighter(game.fighters[2], 2.0f, 0, grey, 0);
    EXPECT_FLOAT_EQ(game.fighters[2].maxEnergy, 20);
}

TEST_F(MatchLevels, LevelFiveIsABossOfScaleThreePointFour) {
    setUpMatch("1", 5);
    EXPECT_EQ(game.fighterCount, 2);
    expectWalls(game, 2.1f);
    expectFighter(game.fighters[1], 2.0f, 1, lightGrey, 0);
    expectFighter(game.fighters[2], 3.4f, 0, grey, 0);
}

TEST_F(MatchLevels, LevelTenIsTheBigBossInA3072By2304Arena) {
    setUpMatch("1", 10);
    EXPECT_EQ(game.fighterCount, 2);
    EXPECT_FLOAT_EQ(game.arenaRight - game.arenaLeft, 3072);
    EXPECT_FLOAT_EQ(game.arenaFloor - game.arenaTop, 2304);
    expectFighter(game.fighters[2], 4.5f, 0, grey, 0);
    EXPECT_FLOAT_EQ(game.fighters[2].maxEnergy, 101.25f);
}

TEST_F(MatchLevels, LevelElevenIsLevelOneWithARobot) {
    setUpMatch("1", 11);
    EXPECT_EQ(game.fighterCount, 2);
    expectWalls(game, 1.5f);
    expectFighter(game.fighters[1], 2.0f, 1, lightGrey, 0);
    expectFighter(game.fighters[2], 2.0f, 0, robotBlue, 1);
    EXPECT_FLOAT_EQ(game.fighters[2].strength, 2.0f);
    EXPECT_FLOAT_EQ(game.fighters[2].maxEnergy, 40);
}

TEST_F(MatchLevels, NoRobotBeforeLevelElevenAndOnlyRobotsFromIt) {
    for (int level = 1; level <= 20; ++level) {
        setUpMatch("1", level);
        SCOPED_TRACE("level " + std::to_string(level));
        EXPECT_EQ(game.fighters[1].isRobot, 0);
        for (int i = 2; i <= game.fighterCount; ++i)
            EXPECT_EQ(game.fighters[i].isRobot, level >= 11 ? 1 : 0);
    }
}

TEST_F(MatchLevels, EveryLevelMatchesTheTableAndTheSecondTenRepeatTheFirst) {
    struct Row {
        float arena, enemy;
        int fighters;
    };
    const Row table[] = {{1.5f, 2.0f, 2}, {1.7f, 2.5f, 2}, {1.9f, 2.0f, 3}, {2.1f, 2.4f, 3},
                         {2.1f, 3.4f, 2}, {2.6f, 2.0f, 4}, {2.8f, 2.3f, 4}, {3.4f, 2.0f, 5},
                         {3.6f, 2.2f, 5}, {3.0f, 4.5f, 2}};
    for (int level = 1; level <= 20; ++level) {
        const Row& row = table[(level - 1) % 10];
        setUpMatch("1", level);
        SCOPED_TRACE("level " + std::to_string(level));
        EXPECT_EQ(game.fighterCount, row.fighters);
        expectWalls(game, row.arena);
        for (int i = 2; i <= game.fighterCount; ++i)
            EXPECT_FLOAT_EQ(game.fighters[i].scale, row.enemy);
    }
}

TEST_F(MatchLevels, CoopAtLevelNineHasTwoPlayersAndFourEnemies) {
    setUpMatch("2coop", 9);
    EXPECT_EQ(game.fighterCount, 6);
    expectWalls(game, 3.6f);
    expectFighter(game.fighters[1], 2.0f, 1, lightGrey, 0);
    expectFighter(game.fighters[2], 2.0f, 1, white, 0);
    for (int i = 3; i <= 6; ++i) expectFighter(game.fighters[i], 2.2f, 0, grey, 0);
}

TEST_F(MatchLevels, CoopRobotsStartAtLevelElevenForEnemiesOnly) {
    setUpMatch("2coop", 13);
    EXPECT_EQ(game.fighterCount, 4);
    expectFighter(game.fighters[1], 2.0f, 1, lightGrey, 0);
    expectFighter(game.fighters[2], 2.0f, 1, white, 0);
    for (int i = 3; i <= 4; ++i) expectFighter(game.fighters[i], 2.0f, 0, robotBlue, 1);
}

TEST_F(MatchLevels, VersusAlwaysUsesLevelOnesArenaAndTwoFighters) {
    for (int level : {1, 9, 15}) {
        setUpMatch("2vs", level);
        SCOPED_TRACE("level " + std::to_string(level));
        EXPECT_EQ(game.fighterCount, 2);
        expectWalls(game, 1.5f);
        expectFighter(game.fighters[1], 2.0f, 1, lightGrey, 0);
        expectFighter(game.fighters[2], 2.0f, 0, grey, 0);
    }
}

TEST_F(MatchLevels, EachFighterKnowsItsSlot) {
    setUpMatch("2coop", 8);
    for (int i = 1; i <= game.fighterCount; ++i) {
        EXPECT_EQ(game.fighters[i].fighterNo, i);
        EXPECT_EQ(game.fighters[i].nodes[HeadNode].fighterNo, i);
    }
}

TEST_F(MatchLevels, EveryMatchBuildsNewFightersAndDropsTheOldOnes) {
    setUpMatch("2coop", 9);
    game.fighters[1].knockedOut = 1;
    game.fighters[1].energy = 0;
    game.fighters[1].lastContact = 7;  // setup leaves it: only a new fighter starts at 1
    setUpMatch("1", 1);
    EXPECT_EQ(game.fighters[1].lastContact, 1);
    EXPECT_EQ(game.fighters[1].knockedOut, 0);
    EXPECT_FLOAT_EQ(game.fighters[1].energy, 20);
    for (int i = 3; i <= 6; ++i) {  // the old fighters beyond the count are gone
        EXPECT_EQ(game.fighters[i].knockedOut, 0);
        EXPECT_EQ(game.fighters[i].nodes[HeadNode].x, 0.0f);
    }
}

TEST_F(MatchLevels, SetupResetsTheMatchButNotTheBannerOrSlowMotion) {
    game.matchResult = 3;
    game.matchState = "end";
    game.maxCombo = 7;
    game.comboScore = 49000;
    game.combo = -3;
    game.winner = 2;
    game.frameCounter = 999;
    game.totalScore = 123456;
    game.bannerText = "FIGHT!";
    game.bannerTimer = 12;
    game.slowMotionTimer = 7;
    game.typedQueue = "abc";
    game.pendingPauseHits = 2;
    setUpMatch("1", 3);
    EXPECT_EQ(game.matchResult, 0);
    EXPECT_EQ(game.matchState, "game");
    EXPECT_EQ(game.maxCombo, 0);
    EXPECT_EQ(game.comboScore, 0);
    EXPECT_EQ(game.combo, 0);
    EXPECT_EQ(game.winner, 0);
    EXPECT_EQ(game.frameCounter, 0);
    EXPECT_EQ(game.levelStartScore, 123456);
    EXPECT_EQ(game.bannerText, "FIGHT!");
    EXPECT_EQ(game.bannerTimer, 12);
    EXPECT_FLOAT_EQ(game.slowMotionTimer, 7);
    EXPECT_EQ(game.typedQueue, "") << "nothing typed before the match counts in it";
    EXPECT_EQ(game.pendingPauseHits, 0) << "no P pressed before the match pauses it";
    for (int i = 1; i <= BurstSlots; ++i) EXPECT_EQ(game.bursts[i].active, 0);
}

TEST_F(MatchLevels, LevelStartScoreKeepsTheLow32BitsOfTheTotal) {
    game.totalScore = 5'000'000'000LL;
    setUpMatch("1", 1);
    EXPECT_EQ(game.levelStartScore, 705'032'704);
}

using MatchTarget = MatchTest;

TEST_F(MatchTarget, TheNearerPlayerIsTheTargetAndATieGoesToPlayerTwo) {
    setUpMatch("2coop", 3);
    man& enemy = game.fighters[3];
    placeFighter(enemy, 0, 0);
    placeFighter(game.fighters[1], 100, 0);
    placeFighter(game.fighters[2], 0, 101);
    EXPECT_EQ(game.chooseTarget(enemy), 1);
    placeFighter(game.fighters[2], 0, 99);
    EXPECT_EQ(game.chooseTarget(enemy), 2);
    placeFighter(game.fighters[2], 0, -100);
    EXPECT_EQ(game.chooseTarget(enemy), 2);
}

TEST_F(MatchTarget, AKnockedOutPlayerIsNoTargetAndWithBothOutItIsPlayerOne) {
    setUpMatch("2coop", 3);
    man& enemy = game.fighters[3];
    placeFighter(enemy, 0, 0);
    placeFighter(game.fighters[1], 10, 0);
    placeFighter(game.fighters[2], 500, 0);
    game.fighters[1].knockedOut = 1;
    EXPECT_EQ(game.chooseTarget(enemy), 2);
    game.fighters[1].knockedOut = 0;
    game.fighters[2].knockedOut = 1;
    placeFighter(game.fighters[2], 1, 0);
    EXPECT_EQ(game.chooseTarget(enemy), 1);
    game.fighters[1].knockedOut = 1;
    EXPECT_EQ(game.chooseTarget(enemy), 1);
}

TEST_F(MatchTarget, OnlyTheHipsCount) {
    setUpMatch("2coop", 3);
    man& enemy = game.fighters[3];
    placeFighter(enemy, 0, 0);
    placeFighter(game.fighters[1], 1000, 0);
    placeFighter(game.fighters[2], 50, 0);
    game.fighters[1].nodes[HipsNode].x = 10;  // the rest of player 1 is far away
    EXPECT_EQ(game.chooseTarget(enemy), 1);
}

}  // namespace
