// The fighter: construction, the skeleton tables, setup for every kind, the knock-out
// fade, and whole-body behaviour over many frames of physics.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/fighter_test_support.h"

using namespace fightertest;

namespace {

class FighterMan : public ::testing::Test {
protected:
    void SetUp() override {
        headless::start();
        SeedRnd(12345);
        setLevelOneWalls(game);
        setDefaultPhysicsOptions(game);
    }
    Game game;
};

TEST_F(FighterMan, NewFighterHasTheDefaultsAndTheSkeletonTables) {
    man m;
    EXPECT_EQ(m.strength, 0.0f);
    EXPECT_EQ(m.cameraWeight, 0.0f);
    EXPECT_EQ(m.maxEnergy, 0.0f);
    EXPECT_EQ(m.energy, 20.0f);
    EXPECT_EQ(m.nodeMass, 1);
    EXPECT_EQ(m.scale, 2.0f);
    EXPECT_EQ(m.lastContact, 1);
    EXPECT_EQ(m.nodeCount, 26);
    EXPECT_EQ(m.stickCount, 25);
    EXPECT_EQ(m.jointCount, 25);
    EXPECT_EQ(m.nodes[16].size, 20.0f);  // empty until setup

    const int stickPairs[25][2] = {{1, 2},   {2, 3},   {3, 4},   {4, 5},   {5, 6},
                                   {6, 7},   {7, 8},   {8, 9},   {9, 10},  {10, 11},
                                   {6, 12},  {12, 13}, {13, 14}, {14, 15}, {15, 16},
                                   {14, 17}, {17, 18}, {18, 19}, {19, 20}, {14, 21},
                                   {21, 22}, {22, 23}, {23, 24}, {1, 25},  {11, 26}};
    for (int s = 0; s < 25; ++s) {
        EXPECT_EQ(m.sticks[s][0], stickPairs[s][0]) << "stick " << s;
        EXPECT_EQ(m.sticks[s][1], stickPairs[s][1]) << "stick " << s;
    }
    const int triples[25][3] = {{1, 2, 3},    {2, 3, 4},    {3, 4, 5},    {4, 5, 6},
                                {5, 6, 7},    {6, 7, 8},    {7, 8, 9},    {8, 9, 10},
                                {9, 10, 11},  {5, 6, 12},   {7, 6, 12},   {6, 12, 13},
                                {12, 13, 14}, {13, 14, 15}, {14, 15, 16}, {13, 14, 17},
                                {14, 17, 18}, {17, 18, 19}, {18, 19, 20}, {13, 14, 21},
                                {14, 21, 22}, {21, 22, 23}, {22, 23, 24}, {25, 1, 2},
                                {10, 11, 26}};
    const float angles[25] = {180, 180, 180, 180, 180, 180, 180, 180, 180, 200, 160, 180, 180,
                              180, 180, 90,  180, 180, 180, -90, 180, 180, 180, 180, 180};
    const float stiffness[25] = {1.0f, 0.1f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.1f, 1.0f,
                                 0.3f, 0.3f, 0.4f, 0.4f, 0.4f, 0.1f, 0.1f, 1.0f, 0.05f,
                                 1.0f, 0.1f, 1.0f, 0.05f, 1.0f, 1.0f, 1.0f};
    for (int j = 0; j < 25; ++j) {
        for (int k = 0; k < 3; ++k) EXPECT_EQ(m.joints[j][k], triples[j][k]) << "joint " << j;
        EXPECT_EQ(m.jointAngle[j], angles[j]) << "joint " << j;
        EXPECT_EQ(m.jointStiffness[j], stiffness[j]) << "joint " << j;
    }
}

TEST_F(FighterMan, SetupOfAPlayerSizedFighter) {
    man& m = addFighter(game, 1, 2);
    EXPECT_EQ(m.cameraWeight, 1.0f);
    EXPECT_EQ(m.stickWidth, 4.0f);
    EXPECT_EQ(m.nodeRadius, 8.0f);
    EXPECT_EQ(m.nodeSize, 8.0f);
    EXPECT_EQ(m.headSize, 18.0f);
    EXPECT_EQ(m.nodeMass, 4);
    EXPECT_EQ(m.maxEnergy, 20.0f);
    EXPECT_EQ(m.energy, 20.0f);
    EXPECT_EQ(m.strength, 1.0f);
    for (int i = 1; i <= NodeCount; ++i) {
        const ball& n = m.nodes[i];
        EXPECT_EQ(n.index, i);
        EXPECT_EQ(n.fighterNo, 1);
        EXPECT_EQ(n.radius, 8.0f);
        EXPECT_EQ(n.size, i == HeadNode ? 18.0f : 8.0f);
        EXPECT_EQ(n.mass, 4.0f);
        EXPECT_EQ(n.vx, 1.0f);
        EXPECT_EQ(n.vy, 1.0f);
        EXPECT_EQ(n.hitTimer, 0);
    }
}

TEST_F(FighterMan, ScaleSetsSizesMassAndEnergy) {
    man& mid = addFighter(game, 1, 2, 2.5f);
    EXPECT_EQ(mid.nodeMass, 6);
    EXPECT_EQ(mid.maxEnergy, 31.25f);

    man& boss = addFighter(game, 2, 2, 4.5f);
    EXPECT_EQ(boss.stickWidth, 9.0f);
    EXPECT_EQ(boss.nodeRadius, 18.0f);
    EXPECT_EQ(boss.nodeSize, 18.0f);
    EXPECT_EQ(boss.headSize, 40.5f);
    EXPECT_EQ(boss.nodeMass, 20);
    EXPECT_EQ(boss.maxEnergy, 101.25f);
    EXPECT_EQ(boss.strength, 1.0f);
    EXPECT_EQ(boss.nodes[HeadNode].size, 40.5f);
}

TEST_F(FighterMan, RobotsHitHarderLastLongerAreStifferAndGrey) {
    man& robot = addFighter(game, 2, 2, 4.5f, 1);
    EXPECT_EQ(robot.maxEnergy, 202.5f);
    EXPECT_EQ(robot.energy, 202.5f);
    EXPECT_EQ(robot.strength, 2.0f);
    EXPECT_EQ(robot.colour[1], 70);
    EXPECT_EQ(robot.colour[2], 70);
    EXPECT_EQ(robot.colour[3], 90);
    const float robotStiffness[25] = {1.0f, 1.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f,
                                      0.2f, 0.2f, 1.0f, 1.0f, 1.0f, 1.0f, 0.1f, 1.0f, 1.0f,
                                      1.0f, 0.1f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    for (int j = 0; j < 25; ++j) EXPECT_EQ(robot.jointStiffness[j], robotStiffness[j]) << j;
    EXPECT_EQ(robot.jointAngle[9], 200.0f);  // rest angles are shared

    man& scale3 = addFighter(game, 1, 2, 3.0f, 1);
    EXPECT_EQ(scale3.maxEnergy, 90.0f);
}

TEST_F(FighterMan, NodesStartScatteredInTheFightersColumn) {
    man& first = addFighter(game, 1, 2);
    man& second = addFighter(game, 2, 2);
    for (int i = 1; i <= NodeCount; ++i) {
        EXPECT_GE(first.nodes[i].x, -100.0f);
        EXPECT_LT(first.nodes[i].x, 100.0f);
        EXPECT_GE(second.nodes[i].x, 156.0f);
        EXPECT_LT(second.nodes[i].x, 356.0f);
        for (const man* m : {&first, &second}) {
            const float y = m->nodes[i].y;
            EXPECT_GE(y, 0.0f);
            EXPECT_LE(y, 768.0f);
            EXPECT_EQ(y, std::floor(y));  // whole numbers from Rand(0, 768)
        }
    }
    // Five fighters: fighter 1's column is centred on (1 - 2.5) * 256 = -384.
    man& ofFive = addFighter(game, 1, 5);
    for (int i = 1; i <= NodeCount; ++i) {
        EXPECT_GE(ofFive.nodes[i].x, -484.0f);
        EXPECT_LT(ofFive.nodes[i].x, -284.0f);
    }
}

TEST_F(FighterMan, EachNodeDrawsItsXBeforeItsY) {
    SeedRnd(4242);
    man& m = addFighter(game, 2, 2);
    SeedRnd(4242);
    for (int i = 1; i <= NodeCount; ++i) {
        const float x = RndFloat() * 200.0f - 100.0f + 256.0f;
        const float y = static_cast<float>(Rand(0, 768));
        EXPECT_EQ(m.nodes[i].x, x) << "node " << i;
        EXPECT_EQ(m.nodes[i].y, y) << "node " << i;
    }
}

TEST_F(FighterMan, SetupStartsAKnockedOutFighterAfresh) {
    man& m = addFighter(game, 1, 1);
    m.knockedOut = 1;
    m.cameraWeight = 0.2f;
    m.energy = -3;
    m.nodes[7].hitTimer = 40;
    m.setup(1);
    EXPECT_EQ(m.knockedOut, 0);
    EXPECT_EQ(m.cameraWeight, 1.0f);
    EXPECT_EQ(m.energy, 20.0f);
    EXPECT_EQ(m.nodes[7].hitTimer, 0);
}

TEST_F(FighterMan, KnockedOutFighterFadesFromTheCameraOverAHundredFrames) {
    man& m = addFighter(game, 1, 1);
    for (int i = 0; i < 10; ++i) m.fadeOut();
    EXPECT_EQ(m.cameraWeight, 1.0f);
    m.knockedOut = 1;
    m.fadeOut();
    EXPECT_FLOAT_EQ(m.cameraWeight, 0.99f);
    for (int i = 0; i < 98; ++i) m.fadeOut();
    EXPECT_GT(m.cameraWeight, 0.0f);
    EXPECT_LT(m.cameraWeight, 0.011f);
    m.fadeOut();
    m.fadeOut();
    EXPECT_EQ(m.cameraWeight, 0.0f);
    for (int i = 0; i < 10; ++i) m.fadeOut();
    EXPECT_EQ(m.cameraWeight, 0.0f);
}

TEST_F(FighterMan, FighterRecordsTheLastWallItTouched) {
    man& m = addFighter(game, 1, 1);
    for (int i = 1; i <= NodeCount; ++i) {
        m.nodes[i].x = 0;
        m.nodes[i].y = 0;
    }
    m.lastContact = 7;
    m.collideWalls(game);
    EXPECT_EQ(m.lastContact, 7);  // no contact keeps the code
    m.nodes[3].x = 900;            // right wall
    m.nodes[20].x = -900;          // left wall, later node wins
    m.collideWalls(game);
    EXPECT_EQ(m.lastContact, DirRight);
}

// --- Whole bodies over many frames ----------------------------------------------------

float worstStickError(const man& m) {
    float worst = 0;
    for (int s = 0; s < StickCount; ++s)
        worst = std::max(worst, std::fabs(stickLength(m, s) - 2 * m.nodeRadius));
    return worst;
}

TEST_F(FighterMan, ScatteredFighterPullsItselfTogether) {
    for (float scale : {2.0f, 4.5f}) {
        for (int isRobot : {0, 1}) {
            man& m = addFighter(game, 1, 1, scale, isRobot);
            const float rest = 2 * m.nodeRadius;
            ASSERT_GT(worstStickError(m), 0.5f * rest);  // really scattered at first
            // Formed within five seconds: every stick within 5% of its rest length.
            int formedAt = -1;
            for (int frame = 1; frame <= 600; ++frame) {
                physicsFrame(game, m);
                if (formedAt < 0 && worstStickError(m) < 0.05f * rest) formedAt = frame;
            }
            ASSERT_TRUE(allNodesFinite(m));
            EXPECT_GT(formedAt, 0);
            EXPECT_LE(formedAt, 300) << "scale " << scale << " robot " << isRobot;
            // Lying on the floor after ten seconds, gravity squeezes it only a little,
            // and the stiff joints (weight at its cap) hold their rest angles.
            EXPECT_LT(worstStickError(m), 0.03f * rest) << "scale " << scale << " robot " << isRobot;
            for (int j = 0; j < JointCount; ++j) {
                if (m.jointStiffness[j] < 1.0f) continue;
                EXPECT_LT(std::fabs(jointError(m, j)), 5.0f)
                    << "joint " << j << " scale " << scale << " robot " << isRobot;
            }
        }
    }
}

TEST_F(FighterMan, LongRunUnderRandomHeadPushesStaysFiniteAndInside) {
    man& m = addFighter(game, 1, 1, 3.4f);
    for (int frame = 0; frame < 6000; ++frame) {
        m.saveOldPositions();
        ball& head = m.nodes[HeadNode];
        head.vx += static_cast<float>(Rand(-12, 12));
        head.vy += static_cast<float>(Rand(-12, 12));
        game.timeStep = frame % 500 < 100 ? 0.2f : 1.0f;  // slow-motion stretches too
        m.applyGravity(game.gravity);
        m.moveNodes(game.timeStep);
        m.relax(game.timeStep, game.flexibility);
        m.updateVelocities(game.timeStep);
        m.collideWalls(game);
        ASSERT_TRUE(allNodesFinite(m)) << "frame " << frame;
    }
    for (int i = 1; i <= NodeCount; ++i) {
        const ball& n = m.nodes[i];
        EXPECT_LE(n.x, game.arenaRight - n.size);
        EXPECT_GE(n.x, game.arenaLeft + n.size);
        EXPECT_LE(n.y, game.arenaFloor - n.size);
        EXPECT_GE(n.y, game.arenaTop + n.size);
    }
}

TEST_F(FighterMan, SameSeedAndPushesReplayTheSameBodyBitForBit) {
    auto run = [&](man& m) {
        SeedRnd(777);
        m.setup(2);
        for (int frame = 0; frame < 400; ++frame) {
            m.saveOldPositions();
            m.nodes[HeadNode].vx += static_cast<float>(Rand(-4, 4));
            m.applyGravity(game.gravity);
            m.moveNodes(game.timeStep);
            m.relax(game.timeStep, game.flexibility);
            m.updateVelocities(game.timeStep);
            m.collideWalls(game);
        }
    };
    man& first = addFighter(game, 1, 2);
    man& second = addFighter(game, 2, 2);
    second.fighterNo = 1;  // same spawn column
    run(first);
    run(second);
    for (int i = 1; i <= NodeCount; ++i) {
        EXPECT_EQ(first.nodes[i].x, second.nodes[i].x) << "node " << i;
        EXPECT_EQ(first.nodes[i].y, second.nodes[i].y) << "node " << i;
        EXPECT_EQ(first.nodes[i].vx, second.nodes[i].vx) << "node " << i;
        EXPECT_EQ(first.nodes[i].vy, second.nodes[i].vy) << "node " << i;
    }
    EXPECT_EQ(first.lastContact, second.lastContact);
}

TEST_F(FighterMan, CoincidentNodesNeverPoisonTheBody) {
    man& m = addFighter(game, 1, 1);
    for (int i = 1; i <= NodeCount; ++i) {
        m.nodes[i].x = 10;
        m.nodes[i].y = 20;
    }
    for (int frame = 0; frame < 600; ++frame) physicsFrame(game, m);
    ASSERT_TRUE(allNodesFinite(m));
}

TEST_F(FighterMan, KnockedOutFighterFallsApartAndOnlyBounces) {
    man& m = addFighter(game, 1, 1);
    for (int frame = 0; frame < 240; ++frame) physicsFrame(game, m);
    m.knockedOut = 1;
    m.nodes[HeadNode].vx = 9;  // a last kick sends the head flying on its own
    m.nodes[HeadNode].vy = -15;

    // Every node now moves exactly as a loose ball would.
    for (int frame = 0; frame < 30; ++frame) {
        auto loose = m.nodes;
        for (int i = 1; i <= NodeCount; ++i) {
            loose[i].saveOldPosition();
            loose[i].applyGravity(game.gravity);
            loose[i].move(game.timeStep);
            loose[i].updateVelocity(game.timeStep);
            loose[i].collideWalls(game);
        }
        physicsFrame(game, m);
        for (int i = 1; i <= NodeCount; ++i) {
            ASSERT_EQ(m.nodes[i].x, loose[i].x) << "node " << i << " frame " << frame;
            ASSERT_EQ(m.nodes[i].y, loose[i].y) << "node " << i << " frame " << frame;
        }
    }
    EXPECT_GT(stickLength(m, 14), 2 * m.nodeRadius + 50);  // the head has left the neck

    // In the end every node lies on the floor.
    for (int frame = 0; frame < 1200; ++frame) physicsFrame(game, m);
    for (int i = 1; i <= NodeCount; ++i)
        EXPECT_NEAR(m.nodes[i].y, game.arenaFloor - m.nodes[i].size, 0.5f) << "node " << i;
}

}  // namespace
