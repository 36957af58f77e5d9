// The players' keys push the head: player 1 up to a cap of twice the speed, player 2
// without a cap.

#include "tests/match_test_support.h"

namespace {

using matchtest::MatchTest;

constexpr int Left = 37, Up = 38, Right = 39, Down = 40;
constexpr int A = 65, D = 68, S = 83, W = 87;

class MatchControl : public MatchTest {
protected:
    void SetUp() override {
        MatchTest::SetUp();
        setUpMatch("2vs", 1);
        for (int i : {1, 2}) {
            head(i).vx = 0;
            head(i).vy = 0;
        }
    }
    ball& head(int i) { return game.fighters[i].nodes[HeadNode]; }
};

TEST_F(MatchControl, PlayerOnePushesWhileBelowTheCapAndMayPassItByOnePush) {
    headless::pressKey(Right);
    readKeyboard();
    head(1).vx = 7.9f;
    game.controlPlayer1();
    EXPECT_FLOAT_EQ(head(1).vx, 11.9f);
    game.controlPlayer1();
    EXPECT_FLOAT_EQ(head(1).vx, 11.9f) << "above the cap of 8: no more push";
    head(1).vx = 8.0f;
    game.controlPlayer1();
    EXPECT_FLOAT_EQ(head(1).vx, 8.0f);
}

TEST_F(MatchControl, PlayerOneCapsEveryDirection) {
    struct Case {
        int key;
        float ball::*component;
        float start, expected;
    };
    const Case cases[] = {{Left, &ball::vx, -7.5f, -11.5f}, {Left, &ball::vx, -8.0f, -8.0f},
                          {Down, &ball::vy, 7.0f, 11.0f},   {Down, &ball::vy, 8.5f, 8.5f},
                          {Up, &ball::vy, -1.0f, -5.0f},    {Up, &ball::vy, -8.0f, -8.0f}};
    for (const Case& c : cases) {
        head(1).vx = 0;
        head(1).vy = 0;
        head(1).*c.component = c.start;
        headless::pressKey(c.key);
        readKeyboard();
        game.controlPlayer1();
        headless::releaseKey(c.key);
        EXPECT_FLOAT_EQ(head(1).*c.component, c.expected) << "key " << c.key << " from " << c.start;
    }
}

TEST_F(MatchControl, OppositeKeysCancelFromRest) {
    for (int key : {Left, Right, Up, Down}) headless::pressKey(key);
    readKeyboard();
    game.controlPlayer1();
    EXPECT_EQ(head(1).vx, 0);
    EXPECT_EQ(head(1).vy, 0);
    head(1).vx = 7.0f;  // the right push is made, then the left one
    game.controlPlayer1();
    EXPECT_FLOAT_EQ(head(1).vx, 7.0f);
}

TEST_F(MatchControl, PlayerTwoHasNoCap) {
    headless::pressKey(D);
    readKeyboard();
    for (int frame = 0; frame < 5; ++frame) game.controlPlayer2();
    EXPECT_FLOAT_EQ(head(2).vx, 20.0f);
    headless::releaseKey(D);
    headless::pressKey(W);
    readKeyboard();
    head(2).vy = -100;
    game.controlPlayer2();
    EXPECT_FLOAT_EQ(head(2).vy, -104.0f);
    headless::releaseKey(W);
    headless::pressKey(A);
    headless::pressKey(S);
    readKeyboard();
    game.controlPlayer2();
    EXPECT_FLOAT_EQ(head(2).vx, 16.0f);
    EXPECT_FLOAT_EQ(head(2).vy, -100.0f);
}

TEST_F(MatchControl, ThePushFollowsTheSpeedOption) {
    game.playersSpeed = 10;
    headless::pressKey(Right);
    headless::pressKey(D);
    readKeyboard();
    game.controlPlayer1();
    game.controlPlayer2();
    EXPECT_FLOAT_EQ(head(1).vx, 3 * 10 * 0.33333334f);
    EXPECT_FLOAT_EQ(head(2).vx, 3 * 10 * 0.33333334f);
    head(1).vx = 19.9f;
    game.controlPlayer1();
    EXPECT_FLOAT_EQ(head(1).vx, 29.9f);
}

TEST_F(MatchControl, EachPlayerMovesOnlyItsOwnHeadAndOnlyTheHead) {
    headless::pressKey(Right);
    readKeyboard();
    game.controlPlayer1();
    game.controlPlayer2();
    EXPECT_EQ(head(2).vx, 0);
    for (int n = 1; n <= NodeCount; ++n) {
        if (n == HeadNode) continue;
        EXPECT_FLOAT_EQ(game.fighters[1].nodes[n].vx, 1.0f) << "node " << n;  // as set up
    }
    headless::releaseKey(Right);
    headless::pressKey(A);
    readKeyboard();
    game.controlPlayer1();
    game.controlPlayer2();
    EXPECT_FLOAT_EQ(head(1).vx, 4.0f);
    EXPECT_FLOAT_EQ(head(2).vx, -4.0f);
}

TEST_F(MatchControl, AKnockedOutPlayerStillAnswersTheKeys) {
    game.fighters[1].knockedOut = 1;
    headless::pressKey(Up);
    readKeyboard();
    game.controlPlayer1();
    EXPECT_FLOAT_EQ(head(1).vy, -4.0f);
}

TEST_F(MatchControl, TheLosingVersusPlayerStopsAnsweringOnceDecided) {
    // Player 1 holds Up all match and is knocked out at frame 4; afterwards its loose
    // head, put to rest far from everything without gravity, must stay where it is.
    float headYAtRest = 0, headYAfter = -1;
    headless::setFrameHook([&](int presented) {
        man& loser = game.fighters[1];
        if (presented == 1) headless::pressKey(Up);
        if (presented == 3) loser.energy = 0;
        if (presented == 5) {
            matchtest::placeFighter(loser, -600, 0);
            for (int n = 1; n <= NodeCount; ++n) loser.nodes[n].vx = loser.nodes[n].vy = 0;
            headYAtRest = loser.nodes[HeadNode].y;
        }
        if (presented == 6) {
            headYAfter = loser.nodes[HeadNode].y;
            headless::pressKey(27);
        }
    });
    game.gameMode = "2vs";
    game.level = 1;
    game.gravity = 0;
    game.playMatch();
    EXPECT_EQ(game.winner, 2);
    EXPECT_EQ(headYAfter, headYAtRest);
}

}  // namespace
