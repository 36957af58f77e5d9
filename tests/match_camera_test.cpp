// The camera's framing and zoom, the slow-motion time step and the pacing of
// slow-motion frames on the virtual clock.

#include "tests/match_test_support.h"

namespace {

using matchtest::MatchTest;
using matchtest::placeFighter;

using MatchCamera = MatchTest;

TEST_F(MatchCamera, FightersOnOneSpotGiveTheLargestZoomCentredOnThem) {
    setUpMatch("1", 3);
    for (int i = 1; i <= game.fighterCount; ++i) placeFighter(game.fighters[i], 120, -40);
    game.updateCamera();
    EXPECT_FLOAT_EQ(game.cameraX, 120);
    EXPECT_FLOAT_EQ(game.cameraY, -40);
    EXPECT_EQ(game.zoom, 1024.0f / 444.0f);
}

TEST_F(MatchCamera, TheExtremesOfTheFighterCentresSetCentreAndZoom) {
    setUpMatch("1", 3);
    placeFighter(game.fighters[1], -300, 100);
    placeFighter(game.fighters[2], 500, 0);
    placeFighter(game.fighters[3], 0, -200);
    game.updateCamera();
    EXPECT_FLOAT_EQ(game.cameraX, 100);
    EXPECT_FLOAT_EQ(game.cameraY, -50);
    // Wide spread: the width limits the zoom.
    EXPECT_FLOAT_EQ(game.zoom, 1024.0f / (800 + 444));

    placeFighter(game.fighters[2], -300, 1500);
    game.updateCamera();
    // Tall spread: the height limits it.
    EXPECT_FLOAT_EQ(game.zoom, 768.0f / (1700 + 333));
}

TEST_F(MatchCamera, AFighterCountsAtTheMeanOfItsNodes) {
    setUpMatch("1", 1);
    placeFighter(game.fighters[1], 0, 0);
    placeFighter(game.fighters[2], 0, 0);
    game.fighters[2].nodes[1].x = 260;  // moves the mean by 10
    game.updateCamera();
    EXPECT_FLOAT_EQ(game.cameraX, 5);
    EXPECT_FLOAT_EQ(game.zoom, 1024.0f / 454.0f);
}

TEST_F(MatchCamera, AKnockedOutEnemyFadesOutOfTheFramingOverAHundredFrames) {
    setUpMatch("1", 1);
    placeFighter(game.fighters[1], 0, 0);
    placeFighter(game.fighters[2], 1000, 0);
    game.updateCamera();
    EXPECT_FLOAT_EQ(game.cameraX, 500);
    game.fighters[2].knockedOut = 1;
    for (int frame = 1; frame <= 50; ++frame) game.updateCamera();
    EXPECT_NEAR(game.fighters[2].cameraWeight, 0.5f, 1e-4f);
    EXPECT_NEAR(game.cameraX, 250, 0.1f);
    for (int frame = 51; frame <= 101; ++frame) game.updateCamera();
    EXPECT_EQ(game.fighters[2].cameraWeight, 0.0f);
    EXPECT_EQ(game.cameraX, 0);
    EXPECT_EQ(game.zoom, 1024.0f / 444.0f);
}

TEST_F(MatchCamera, AKnockedOutPlayerOneStillCountsAtItsOwnCentre) {
    setUpMatch("1", 1);
    placeFighter(game.fighters[1], -400, 0);
    placeFighter(game.fighters[2], 400, 0);
    game.fighters[1].knockedOut = 1;
    for (int frame = 0; frame < 120; ++frame) game.updateCamera();
    EXPECT_EQ(game.fighters[1].cameraWeight, 0.0f);
    EXPECT_FLOAT_EQ(game.cameraX, 0);
    EXPECT_FLOAT_EQ(game.zoom, 1024.0f / (800 + 444));
}

using MatchTimeStep = MatchTest;

TEST_F(MatchTimeStep, SlowMotionShrinksTheStepByTheOption) {
    struct Case {
        int option;
        float step;
    };
    for (const Case& c : {Case{0, 1.0f}, Case{3, 1.0f / 2.2f}, Case{10, 0.2f}}) {
        SCOPED_TRACE("SLOW MOTION " + std::to_string(c.option));
        game.slowMotion = c.option;
        game.slowMotionTimer = 30;
        game.updateTimeStep();
        EXPECT_FLOAT_EQ(game.timeStep, c.step);
        EXPECT_FLOAT_EQ(game.slowMotionTimer, 29);
    }
}

TEST_F(MatchTimeStep, TheTimerRunsThirtyOneReducedFramesThenRestsAtMinusOne) {
    game.slowMotion = 3;
    game.slowMotionTimer = 30;
    int reduced = 0;
    for (int frame = 0; frame < 40; ++frame) {
        game.updateTimeStep();
        if (game.timeStep < 1.0f) ++reduced;
    }
    EXPECT_EQ(reduced, 31);
    EXPECT_FLOAT_EQ(game.slowMotionTimer, -1);
    EXPECT_EQ(game.timeStep, 1.0f);
}

TEST_F(MatchTimeStep, TheFirstFrameAfterStartUpRunsReducedOnce) {
    game.slowMotion = 3;
    ASSERT_EQ(game.slowMotionTimer, 0);
    game.updateTimeStep();
    EXPECT_FLOAT_EQ(game.timeStep, 1.0f / 2.2f);
    game.updateTimeStep();
    EXPECT_EQ(game.timeStep, 1.0f);
}

using MatchPacing = MatchTest;

TEST_F(MatchPacing, PacedFramesLastAtLeastAThirtiethOfASecond) {
    game.slowMotionTimer = 10;
    game.lastPacedFrame = MilliSecs();
    for (int frame = 0; frame < 5; ++frame) {
        const int before = game.lastPacedFrame;
        game.paceSlowMotion();
        EXPECT_EQ(game.lastPacedFrame, MilliSecs());
        EXPECT_GE(static_cast<float>(game.lastPacedFrame - before), 33.333332f);
        EXPECT_LE(game.lastPacedFrame - before, 34) << "no longer than needed";
    }
}

TEST_F(MatchPacing, APresentedFrameCountsTowardsTheWait) {
    game.slowMotionTimer = 10;
    game.lastPacedFrame = MilliSecs();
    Flip(-1);  // a 60 Hz frame of the virtual clock
    const int afterFlip = MilliSecs();
    ASSERT_GE(afterFlip - game.lastPacedFrame, 16);
    game.paceSlowMotion();
    EXPECT_EQ(game.lastPacedFrame, MilliSecs());
    EXPECT_EQ(MilliSecs(), 34) << "waits only for the rest of the frame";
}

TEST_F(MatchPacing, TheFirstPacedFrameAfterALongTimeDoesNotWait) {
    game.slowMotionTimer = 10;
    for (int frame = 0; frame < 120; ++frame) Flip(-1);
    game.lastPacedFrame = 0;
    const int now = MilliSecs();
    game.paceSlowMotion();
    EXPECT_EQ(MilliSecs(), now);
    EXPECT_EQ(game.lastPacedFrame, now);
}

TEST_F(MatchPacing, PacingHoldsAcrossTheWrapOfTheMillisecondCounter) {
    headless::Options options;
    options.startMs = 2147483647 - 10;  // the 32-bit counter wraps 11 ms from now
    headless::start(options);
    game.slowMotionTimer = 10;
    game.lastPacedFrame = MilliSecs();
    game.paceSlowMotion();
    EXPECT_LT(MilliSecs(), 0) << "the counter has wrapped";
    EXPECT_EQ(game.lastPacedFrame, MilliSecs());
    EXPECT_EQ(static_cast<int64_t>(game.lastPacedFrame) + 4294967296LL - (2147483647 - 10), 34);
}

TEST_F(MatchPacing, AMarkOlderThanTheCounterCanTellDoesNotWait) {
    headless::Options options;
    options.startMs = 1000;
    headless::start(options);
    game.slowMotionTimer = 10;
    game.lastPacedFrame = -2147482649;  // 2^31 + 1 ms before now on the wrapping counter
    game.paceSlowMotion();
    EXPECT_EQ(MilliSecs(), 1000);
}

TEST_F(MatchPacing, OutsideSlowMotionNothingWaitsAndTheMarkStays) {
    game.slowMotionTimer = -1;
    game.lastPacedFrame = MilliSecs();
    const int now = MilliSecs();
    game.paceSlowMotion();
    EXPECT_EQ(MilliSecs(), now);
    EXPECT_EQ(game.lastPacedFrame, now);
    game.lastPacedFrame = -500;
    game.paceSlowMotion();
    EXPECT_EQ(game.lastPacedFrame, -500);
}

TEST_F(MatchPacing, InAMatchEverySlowMotionFrameIsPaced) {
    game.slowMotionTimer = 30;  // carried over from an earlier contact
    std::vector<int> pacedMarks;
    std::vector<float> timers;
    headless::setFrameHook([&](int presented) {
        pacedMarks.push_back(game.lastPacedFrame);
        timers.push_back(game.slowMotionTimer);
        if (presented == 40) headless::pressKey(27);
    });
    game.gameMode = "1";
    game.level = 1;
    EXPECT_EQ(game.playMatch(), 3);
    ASSERT_GE(pacedMarks.size(), 30u);
    // Frames 1..30 run with the timer at 29..0 and are all paced.
    for (size_t i = 1; i < 30; ++i) {
        ASSERT_GE(timers[i], 0);
        EXPECT_GE(static_cast<float>(pacedMarks[i] - pacedMarks[i - 1]), 33.333332f)
            << "frame " << i + 1;
    }
}

}  // namespace
