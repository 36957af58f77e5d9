// The body solver: single stick and joint corrections, the Jacobi passes and relax.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/fighter_test_support.h"

using namespace fightertest;

namespace {

ball nodeAt(float x, float y, float radius = 8, float mass = 4) {
    ball b;
    b.x = x;
    b.y = y;
    b.radius = radius;
    b.mass = mass;
    return b;
}

class FighterSolver : public ::testing::Test {
protected:
    void SetUp() override { headless::start(); }
    man m;
};

TEST_F(FighterSolver, StickRemovesHalfTheErrorSharedEqually) {
    const Correction4 c = m.stickCorrection(nodeAt(0, 0), nodeAt(20, 0));
    EXPECT_EQ(c.dxa, 1.0f);
    EXPECT_EQ(c.dya, 0.0f);
    EXPECT_EQ(c.dxb, -1.0f);
    EXPECT_EQ(c.dyb, 0.0f);
}

TEST_F(FighterSolver, StickPushesApartWhenTooShortAndWorksAtAnAngle) {
    // 3-4-5 triangle: distance 10, rest 16, err -6; each end moves 1.5 along the line.
    const Correction4 c = m.stickCorrection(nodeAt(0, 0), nodeAt(6, 8));
    EXPECT_FLOAT_EQ(c.dxa, -0.9f);
    EXPECT_FLOAT_EQ(c.dya, -1.2f);
    EXPECT_FLOAT_EQ(c.dxb, 0.9f);
    EXPECT_FLOAT_EQ(c.dyb, 1.2f);
}

TEST_F(FighterSolver, HeavierEndOfAStickMovesLess) {
    // Masses 1 and 3: the light end takes 3/4 of the halved error, the heavy end 1/4.
    const Correction4 c = m.stickCorrection(nodeAt(0, 0, 8, 1), nodeAt(20, 0, 8, 3));
    EXPECT_FLOAT_EQ(c.dxa, 1.5f);
    EXPECT_FLOAT_EQ(c.dxb, -0.5f);
}

TEST_F(FighterSolver, TouchingOrCoincidentNodesGetNoStickCorrection) {
    const Correction4 touching = m.stickCorrection(nodeAt(0, 0), nodeAt(0, 16));
    EXPECT_EQ(touching.dxa, 0.0f);
    EXPECT_EQ(touching.dya, 0.0f);
    EXPECT_EQ(touching.dxb, 0.0f);
    EXPECT_EQ(touching.dyb, 0.0f);
    const Correction4 same = m.stickCorrection(nodeAt(5, 5), nodeAt(5, 5));
    EXPECT_EQ(same.dxa, 0.0f);
    EXPECT_EQ(same.dya, 0.0f);
    EXPECT_EQ(same.dxb, 0.0f);
    EXPECT_EQ(same.dyb, 0.0f);
}

TEST_F(FighterSolver, RightAngleJointIsPushedTowardsStraight) {
    const Correction6 c =
        m.jointCorrection(nodeAt(0, 0), nodeAt(16, 0), nodeAt(16, 16), 180, 1.0f, 1.0f, 5);
    // err 90, w 0.7, k = 0.1575
    EXPECT_FLOAT_EQ(c.dxA, 0.0f);
    EXPECT_FLOAT_EQ(c.dyA, -2.52f);
    EXPECT_FLOAT_EQ(c.dxC, 2.52f);
    EXPECT_FLOAT_EQ(c.dyC, 0.0f);
    EXPECT_FLOAT_EQ(c.dxB, -2.52f);
    EXPECT_FLOAT_EQ(c.dyB, 2.52f);
    // A joint never shifts the sum of the positions.
    EXPECT_FLOAT_EQ(c.dxA + c.dxB + c.dxC, 0.0f);
    EXPECT_FLOAT_EQ(c.dyA + c.dyB + c.dyC, 0.0f);
}

TEST_F(FighterSolver, JointWeightIsCappedAndDividedByFlexibility) {
    const ball a = nodeAt(0, 0), b = nodeAt(16, 0), c = nodeAt(16, 16);
    // 4 * 1.0 / 20 = 0.2 below the cap: k = 0.2 * 90 / 400 = 0.045.
    EXPECT_FLOAT_EQ(m.jointCorrection(a, b, c, 180, 1.0f, 1.0f, 20).dyA, -0.72f);
    // At FLEXIBILITY 1 the weight 4 is capped at 0.7, as at 5.
    EXPECT_FLOAT_EQ(m.jointCorrection(a, b, c, 180, 1.0f, 1.0f, 1).dyA, -2.52f);
    // The spine's 0.4 at FLEXIBILITY 5: w = 0.32.
    EXPECT_FLOAT_EQ(m.jointCorrection(a, b, c, 180, 0.4f, 1.0f, 5).dyA, -0.32f * 90 / 400 * 16);
    // Slow motion shrinks the correction with the time step.
    EXPECT_FLOAT_EQ(m.jointCorrection(a, b, c, 180, 1.0f, 0.25f, 5).dyA, -0.63f);
    const Correction6 hips = m.jointCorrection(a, b, c, 180, 0.0f, 1.0f, 5);
    EXPECT_EQ(hips.dxA, 0.0f);
    EXPECT_EQ(hips.dyA, 0.0f);
    EXPECT_EQ(hips.dxB, 0.0f);
    EXPECT_EQ(hips.dyC, 0.0f);
}

TEST_F(FighterSolver, JointAtItsRestAngleStaysPut) {
    const Correction6 straight =
        m.jointCorrection(nodeAt(0, 0), nodeAt(16, 0), nodeAt(32, 0), 180, 1.0f, 1.0f, 5);
    EXPECT_EQ(straight.dxA, 0.0f);
    EXPECT_EQ(straight.dyA, 0.0f);
    EXPECT_EQ(straight.dxB, 0.0f);
    EXPECT_EQ(straight.dyB, 0.0f);
    EXPECT_EQ(straight.dxC, 0.0f);
    EXPECT_EQ(straight.dyC, 0.0f);
    // The same right angle is at rest for a rest angle of 270 (C below B).
    const Correction6 bent =
        m.jointCorrection(nodeAt(0, 0), nodeAt(16, 0), nodeAt(16, 16), 270, 1.0f, 1.0f, 5);
    EXPECT_EQ(bent.dyA, 0.0f);
    EXPECT_EQ(bent.dxC, 0.0f);
}

TEST_F(FighterSolver, JointOnCoincidentNodesStaysFinite) {
    const Correction6 c =
        m.jointCorrection(nodeAt(3, 3), nodeAt(3, 3), nodeAt(3, 3), 90, 1.0f, 1.0f, 5);
    for (float v : {c.dxA, c.dyA, c.dxB, c.dyB, c.dxC, c.dyC}) EXPECT_TRUE(std::isfinite(v));
}

// Scatters a fighter's nodes so that every constraint has work to do.
void scatter(man& m, int seed) {
    SeedRnd(seed);
    for (int i = 1; i <= NodeCount; ++i) {
        m.nodes[i] = nodeAt(RndFloat() * 300, RndFloat() * 300);
        m.nodes[i].index = i;
    }
}

TEST_F(FighterSolver, StickPassEvaluatesEveryStickBeforeMovingAnyNode) {
    scatter(m, 77);
    const auto before = m.nodes;
    float sumX[NodeCount + 1] = {}, sumY[NodeCount + 1] = {};
    for (int s = 0; s < StickCount; ++s) {
        const int p = m.sticks[s][0], q = m.sticks[s][1];
        const Correction4 c = m.stickCorrection(before[p], before[q]);
        sumX[p] += c.dxa;
        sumY[p] += c.dya;
        sumX[q] += c.dxb;
        sumY[q] += c.dyb;
    }
    m.solveSticks();
    for (int i = 1; i <= NodeCount; ++i) {
        EXPECT_EQ(m.nodes[i].x, before[i].x + sumX[i]) << "node " << i;
        EXPECT_EQ(m.nodes[i].y, before[i].y + sumY[i]) << "node " << i;
    }
}

TEST_F(FighterSolver, JointPassEvaluatesEveryJointBeforeMovingAnyNode) {
    scatter(m, 78);
    const auto before = m.nodes;
    float sumX[NodeCount + 1] = {}, sumY[NodeCount + 1] = {};
    for (int j = 0; j < JointCount; ++j) {
        const int a = m.joints[j][0], b = m.joints[j][1], c = m.joints[j][2];
        const Correction6 r = m.jointCorrection(before[a], before[b], before[c], m.jointAngle[j],
                                                m.jointStiffness[j], 0.5f, 7);
        sumX[a] += r.dxA;
        sumY[a] += r.dyA;
        sumX[b] += r.dxB;
        sumY[b] += r.dyB;
        sumX[c] += r.dxC;
        sumY[c] += r.dyC;
    }
    m.solveJoints(0.5f, 7);
    for (int i = 1; i <= NodeCount; ++i) {
        EXPECT_EQ(m.nodes[i].x, before[i].x + sumX[i]) << "node " << i;
        EXPECT_EQ(m.nodes[i].y, before[i].y + sumY[i]) << "node " << i;
    }
}

TEST_F(FighterSolver, RelaxRunsThirtyTwoJointThenStickPasses) {
    scatter(m, 79);
    man reference;
    reference.nodes = m.nodes;
    m.relax(1.0f, 5);
    for (int pass = 0; pass < 32; ++pass) {
        reference.solveJoints(1.0f, 5);
        reference.solveSticks();
    }
    for (int i = 1; i <= NodeCount; ++i) {
        EXPECT_EQ(m.nodes[i].x, reference.nodes[i].x) << "node " << i;
        EXPECT_EQ(m.nodes[i].y, reference.nodes[i].y) << "node " << i;
    }
    // One more pass would still change something: exactly 32, not "until converged".
    reference.solveJoints(1.0f, 5);
    reference.solveSticks();
    bool moved = false;
    for (int i = 1; i <= NodeCount; ++i) moved |= reference.nodes[i].x != m.nodes[i].x;
    EXPECT_TRUE(moved);
}

TEST_F(FighterSolver, KnockedOutBodyIsNotRelaxed) {
    scatter(m, 80);
    const auto before = m.nodes;
    m.knockedOut = 1;
    m.relax(1.0f, 5);
    for (int i = 1; i <= NodeCount; ++i) {
        EXPECT_EQ(m.nodes[i].x, before[i].x);
        EXPECT_EQ(m.nodes[i].y, before[i].y);
    }
}

TEST_F(FighterSolver, HoldingOneAndEightSuspendsTheSolverForTheFrame) {
    MatchState match;
    setDefaultPhysicsOptions(match);
    match.gameMode = "2vs";
    SeedRnd(81);
    match.setupMatch();
    // Each fighter as the frame shows it, after its moves and before the hit test,
    // against the same frame stepped by hand with or without the solver.
    const auto shownAfter = [&](uint16_t held) {
        MatchState copy = match;
        FrameEvents events;
        InputRecord input;
        input.held = input.heldAfterPause = held;
        copy.stepToPausePoint(input, events);
        return events.picture.fighters[1].nodes;
    };
    const auto byHand = [&](bool relaxed) {
        man fighter = match.fighters[1];
        fighter.saveOldPositions();
        fighter.applyGravity(match.gravity);
        fighter.moveNodes(1.0f);
        if (relaxed) fighter.relax(1.0f, match.flexibility);
        fighter.updateVelocities(1.0f);
        fighter.collideWalls(match);
        return fighter.nodes;
    };
    const auto samePlaces = [](const auto& a, const auto& b) {
        for (int i = 1; i <= NodeCount; ++i)
            if (a[i].x != b[i].x || a[i].y != b[i].y) return false;
        return true;
    };
    EXPECT_TRUE(samePlaces(shownAfter(KeyDigit1 | KeyDigit8), byHand(false)));
    EXPECT_TRUE(samePlaces(shownAfter(KeyDigit1), byHand(true)));  // '1' alone: the solver runs
    EXPECT_TRUE(samePlaces(shownAfter(KeyDigit8), byHand(true)));
    EXPECT_FALSE(samePlaces(byHand(false), byHand(true)));
}

}  // namespace
