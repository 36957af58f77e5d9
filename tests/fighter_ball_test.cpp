// Body nodes: integration, walls, bleeding, and the angle and rounding helpers.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/fighter_test_support.h"

using namespace fightertest;

namespace {

class FighterBall : public ::testing::Test {
protected:
    void SetUp() override {
        headless::start();
        setLevelOneWalls(game);
        setDefaultPhysicsOptions(game);
        node.size = 8;
        node.radius = 8;
        node.mass = 4;
    }
    Game game;
    man owner;
    ball node;
};

TEST_F(FighterBall, NewNodeHasOnlyItsDrawnSizeSet) {
    ball fresh;
    EXPECT_EQ(fresh.hitTimer, 0);
    EXPECT_EQ(fresh.index, 0);
    EXPECT_EQ(fresh.x, 0.0f);
    EXPECT_EQ(fresh.mass, 0.0f);
    EXPECT_EQ(fresh.size, 20.0f);
}

TEST_F(FighterBall, MovesByVelocityTimesStepAndRecomputesVelocityFromDisplacement) {
    node.x = 10;
    node.y = -4;
    node.vx = 3;
    node.vy = -2;
    node.saveOldPosition();
    node.move(0.5f);
    EXPECT_FLOAT_EQ(node.x, 11.5f);
    EXPECT_FLOAT_EQ(node.y, -5.0f);
    node.x += 1.0f;  // a solver correction ends up in the velocity
    node.updateVelocity(0.5f);
    EXPECT_FLOAT_EQ(node.vx, 5.0f);
    EXPECT_FLOAT_EQ(node.vy, -2.0f);
    EXPECT_EQ(node.oldX, 10.0f);
    EXPECT_EQ(node.oldY, -4.0f);
}

TEST_F(FighterBall, GravityAddsFourHundredthsPerStepOfTheOption) {
    node.vy = 1;
    node.applyGravity(0);
    EXPECT_EQ(node.vy, 1.0f);
    node.applyGravity(10);
    EXPECT_EQ(node.vy, 1.0f + 0.04f * 10.0f);
    EXPECT_NEAR(node.vy, 1.4f, 1e-6f);
}

TEST_F(FighterBall, FloorBounceReversesAndHalvesBothComponents) {
    node.x = 0;
    node.y = 600;  // below arenaFloor - size = 568
    node.vx = 2;
    node.vy = 3;
    EXPECT_EQ(node.collideWalls(game), DirUp);
    EXPECT_EQ(node.y, 568.0f);
    EXPECT_EQ(node.vy, -1.5f);
    EXPECT_EQ(node.vx, 1.0f);
    EXPECT_EQ(node.x, 0.0f);
}

TEST_F(FighterBall, EachWallGivesTheDirectionAwayFromIt) {
    struct Case { float x, y; int code; float x2, y2; };
    const Case cases[] = {
        {800, 0, DirLeft, 760, 0},
        {-800, 0, DirRight, -760, 0},
        {0, -700, DirDown, 0, -568},
        {0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        node.x = c.x;
        node.y = c.y;
        node.vx = 4;
        node.vy = -2;
        EXPECT_EQ(node.collideWalls(game), c.code) << c.x << "," << c.y;
        EXPECT_EQ(node.x, c.x2);
        EXPECT_EQ(node.y, c.y2);
        if (c.code == DirLeft || c.code == DirRight) {
            EXPECT_EQ(node.vx, -2.0f);
            EXPECT_EQ(node.vy, -1.0f);
        } else if (c.code == DirDown) {
            EXPECT_EQ(node.vx, 2.0f);
            EXPECT_EQ(node.vy, 1.0f);
        } else {
            EXPECT_EQ(node.vx, 4.0f);
            EXPECT_EQ(node.vy, -2.0f);
        }
    }
}

TEST_F(FighterBall, CornerFiresTwoTestsAndReturnsTheLaterCode) {
    node.x = 770;  // right wall and floor
    node.y = 570;
    node.vx = 4;
    node.vy = 2;
    EXPECT_EQ(node.collideWalls(game), DirUp);
    EXPECT_EQ(node.x, 760.0f);
    EXPECT_EQ(node.y, 568.0f);
    EXPECT_EQ(node.vx, -1.0f);  // -0.5 then 0.5
    EXPECT_EQ(node.vy, -0.5f);  // 0.5 then -0.5

    node.x = -770;  // left wall and ceiling
    node.y = -570;
    EXPECT_EQ(node.collideWalls(game), DirDown);
    EXPECT_EQ(node.x, -760.0f);
    EXPECT_EQ(node.y, -568.0f);
}

TEST_F(FighterBall, HeadSizeIsTheWallMargin) {
    node.size = 18;
    node.y = 570;
    EXPECT_EQ(node.collideWalls(game), DirUp);
    EXPECT_EQ(node.y, 558.0f);
}

TEST_F(FighterBall, FreshBlowBleedsNineShrinkingBurstsThenStops) {
    owner.isRobot = 1;
    node.x = 30;
    node.y = 40;
    node.vx = 70;
    node.vy = -35;
    node.radius = 9.5f;
    node.hitTimer = 60;
    const int expectedCounts[] = {18, 16, 14, 12, 10, 8, 6, 4, 2};
    for (int frame = 0; frame < 9; ++frame) {
        node.tick(game, owner.isRobot);
        EXPECT_EQ(node.hitTimer, 59 - frame);
        const dotburst& burst = game.bursts[frame + 1];
        EXPECT_EQ(burst.active, 1);
        EXPECT_EQ(burst.kind, BurstBlood);
        EXPECT_EQ(burst.count, expectedCounts[frame]) << "frame " << frame;
        EXPECT_EQ(burst.yellow, 1);
        EXPECT_EQ(burst.size, 3.0f);
        EXPECT_EQ(game.nextBurst, frame + 2);
    }
    // Spread is Int(radius) = 9 and the burst drifts with the node's velocity / 35.
    const dotburst& first = game.bursts[1];
    for (int i = 1; i <= first.count; ++i) {
        EXPECT_LE(std::hypot(first.xs[i] - 30.0f, first.ys[i] - 40.0f), 9.0f + 1e-3f);
        const float speed = std::hypot(first.vxs[i] - 2.0f, first.vys[i] + 1.0f);
        EXPECT_LE(speed, 3.0f + 1e-3f);
    }
    node.tick(game, owner.isRobot);  // timer 50: no more bleeding
    EXPECT_EQ(node.hitTimer, 50);
    EXPECT_EQ(game.nextBurst, 10);
    EXPECT_EQ(game.bursts[10].active, 0);
    for (int i = 0; i < 60; ++i) node.tick(game, owner.isRobot);
    EXPECT_EQ(node.hitTimer, 0);  // never below 0
}

TEST_F(FighterBall, BloodOptionScalesTheBurstAndTheRingWraps) {
    game.blood = 30;
    game.nextBurst = 100;
    node.emitBlood(game, owner.isRobot, 0.18f);
    EXPECT_EQ(game.bursts[100].count, 54);
    EXPECT_EQ(game.bursts[100].yellow, 0);
    EXPECT_EQ(game.nextBurst, 1);
    game.blood = 0;
    node.emitBlood(game, owner.isRobot, 0.18f);
    EXPECT_EQ(game.bursts[1].count, 0);
    EXPECT_EQ(game.bursts[1].active, 1);
    EXPECT_EQ(game.nextBurst, 2);
}

TEST(FighterAngles, WrapIntoTheirRanges) {
    EXPECT_EQ(wrap360(360), 0.0f);
    EXPECT_EQ(wrap360(-30), 330.0f);
    EXPECT_EQ(wrap360(0), 0.0f);
    EXPECT_EQ(wrap360(359.5f), 359.5f);
    EXPECT_EQ(wrap360(1000), 280.0f);
    EXPECT_EQ(wrap360(-725), 355.0f);
    EXPECT_EQ(wrap180(190), -170.0f);
    EXPECT_EQ(wrap180(-180), -180.0f);
    EXPECT_EQ(wrap180(180), 180.0f);
    EXPECT_EQ(wrap180(-190), 170.0f);
    EXPECT_EQ(wrap180(540), 180.0f);
    EXPECT_EQ(wrap180(-900), -180.0f);
}

TEST(FighterAngles, FarOffAnglesStillEndInRange) {
    for (float a : {1e9f, -1e9f, 3.4e38f, -3.4e38f, 123456.75f}) {
        const float w = wrap360(a);
        EXPECT_GE(w, 0.0f) << a;
        EXPECT_LT(w, 360.0f) << a;
        const float h = wrap180(a);
        EXPECT_GE(h, -180.0f) << a;
        EXPECT_LE(h, 180.0f) << a;
    }
    EXPECT_EQ(wrap360(123456.75f), 336.75f);
}

TEST(FighterAngles, IntPowerMultipliesOntoOne) {
    EXPECT_EQ(intPower(2, 10), 1024);
    EXPECT_EQ(intPower(2, 1), 2);
    EXPECT_EQ(intPower(7, 0), 1);
    EXPECT_EQ(intPower(3, 3), 27);
    EXPECT_EQ(intPower(-2, 3), -8);
}

TEST(FighterAngles, NearestIntRoundsHalvesUp) {
    EXPECT_EQ(nearestInt(0.49f), 0);
    EXPECT_EQ(nearestInt(0.5f), 1);
    EXPECT_EQ(nearestInt(2.5f), 3);
    EXPECT_EQ(nearestInt(-2.5f), -2);
    EXPECT_EQ(nearestInt(-2.51f), -3);
    EXPECT_EQ(nearestInt(-0.2f), 0);
    EXPECT_EQ(nearestInt(7.0f), 7);
}

TEST(FighterAngles, ProjectionPansAndZoomsAboutTheScreenCentre) {
    EXPECT_EQ(projectX(0, 0, 0.3f), 512.0f);
    EXPECT_EQ(projectY(0, 0, 0.3f), 384.0f);
    EXPECT_EQ(projectX(110, 10, 2), 712.0f);
    EXPECT_EQ(projectY(-50, 50, 0.5f), 334.0f);
}

}  // namespace
