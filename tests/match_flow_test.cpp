// The match flow: the centred messages, knock-outs and results, the energy bonus,
// every state transition with its frame counts, Esc, and pause.

#include "tests/match_test_support.h"

namespace {

using matchtest::drewText;
using matchtest::knockOut;
using matchtest::MatchTest;
using matchtest::textsDrawn;

constexpr int Enter = 13, Esc = 27, Space = 32, P = 80;

using MatchBanner = MatchTest;

TEST_F(MatchBanner, TheLevelShowsOnTheSecondFrameAndFightOnTheHundredth) {
    setUpMatch("1", 7);
    game.bannerText = "";
    game.bannerTimer = -1;
    game.announce();
    EXPECT_EQ(game.bannerText, "") << "frame 0 announces nothing";
    game.frameCounter = 1;
    game.announce();
    EXPECT_EQ(game.bannerText, "   LEVEL 7   ");
    EXPECT_EQ(game.bannerTimer, 80);
    game.frameCounter = 99;
    game.bannerTimer = 3;
    game.announce();
    EXPECT_EQ(game.bannerText, "   LEVEL 7   ");
    EXPECT_EQ(game.bannerTimer, 3);
    game.frameCounter = 100;
    game.announce();
    EXPECT_EQ(game.bannerText, "FIGHT!");
    EXPECT_EQ(game.bannerTimer, 80);
}

TEST_F(MatchBanner, CoopShowsTheLevelAndVersusTheWins) {
    setUpMatch("2coop", 12);
    game.frameCounter = 1;
    game.announce();
    EXPECT_EQ(game.bannerText, "   LEVEL 12   ");
    game.wins = {0, 3, 11};
    setUpMatch("2vs", 1);
    game.frameCounter = 1;
    game.announce();
    EXPECT_EQ(game.bannerText, "  3 - 11  ");
}

// A frame of a match past "FIGHT!", the banner drawn as that frame shows it.
class MatchBannerFrame : public MatchTest {
protected:
    void SetUp() override {
        MatchTest::SetUp();
        setUpMatch("1", 1);
        game.frameCounter = 200;
    }
    void bannerFrame() {
        Flip(-1);
        game.stepToPausePoint(InputRecord{}, events);
        game.drawBanner(events.picture);
    }
};

TEST_F(MatchBannerFrame, TheMessageIsStretchedAcrossTheScreenAndFadesInItsLast60Frames) {
    game.palette[1] = {0, 10, 20, 30};  // the colour as the frame begins, before the palette steps
    game.paletteStep[1].fill(2.0f);
    game.bannerText = "FIGHT!";
    game.bannerTimer = 80;
    bannerFrame();
    EXPECT_EQ(game.bannerTimer, 79);
    auto texts = textsDrawn();
    ASSERT_EQ(texts.size(), 1u);
    const float s = 824.0f / TextWidth("FIGHT!");
    const int h = TextHeight();
    EXPECT_EQ(texts[0].text, "FIGHT!");
    EXPECT_EQ(texts[0].x, 100);
    EXPECT_EQ(texts[0].y, static_cast<int>(384 - h / 2 * s));
    EXPECT_FLOAT_EQ(texts[0].scaleX, s);
    EXPECT_FLOAT_EQ(texts[0].scaleY, s);
    EXPECT_EQ(texts[0].alpha, 1.0f);
    EXPECT_EQ(texts[0].r, 10);
    EXPECT_EQ(texts[0].g, 20);
    EXPECT_EQ(texts[0].b, 30);
    EXPECT_NE(game.palette[1], (PaletteRow{0, 10, 20, 30})) << "the palette stepped after the banner took it";

    game.bannerTimer = 31;
    bannerFrame();
    texts = textsDrawn();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_FLOAT_EQ(texts[0].alpha, 30 / 60.0f);
}

TEST_F(MatchBannerFrame, TheLastFrameDrawsAtAlphaZeroAndThenNothing) {
    game.bannerText = "   LEVEL 1   ";
    game.bannerTimer = 1;
    bannerFrame();
    auto texts = textsDrawn();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].alpha, 0.0f);
    bannerFrame();
    EXPECT_EQ(game.bannerTimer, -1);
    EXPECT_TRUE(textsDrawn().empty());
    bannerFrame();
    EXPECT_EQ(game.bannerTimer, -1) << "the timer rests at -1";
}

TEST_F(MatchBannerFrame, DrawingLeavesScaleAndAlphaAtOne) {
    game.bannerText = "FIGHT!";
    game.bannerTimer = 30;
    bannerFrame();
    DrawRect(0, 0, 1, 1);
    const auto& probe = headless::currentFrame().back();
    EXPECT_EQ(probe.scaleX, 1.0f);
    EXPECT_EQ(probe.scaleY, 1.0f);
    EXPECT_EQ(probe.alpha, 1.0f);
}

TEST_F(MatchBanner, TheMatchShowsTheLevelFromItsSecondFrameAndFightFromTheHundredth) {
    std::vector<std::string> banners(130);
    headless::setFrameHook([&](int presented) {
        if (presented < static_cast<int>(banners.size())) {
            for (const auto& call : headless::lastFrame())
                if (call.op == headless::DrawOp::Text && call.x == 100) banners[presented] = call.text;
        }
        if (presented == 125) headless::pressKey(Esc);
    });
    game.bannerTimer = -1;
    game.gameMode = "1";
    game.level = 4;
    game.playMatch();
    EXPECT_EQ(banners[1], "");
    EXPECT_EQ(banners[2], "   LEVEL 4   ");
    EXPECT_EQ(banners[80], "   LEVEL 4   ");
    EXPECT_EQ(banners[100], "");
    EXPECT_EQ(banners[101], "FIGHT!");
}

using MatchResults = MatchTest;

TEST_F(MatchResults, VersusKnockOutOfPlayerTwoIsAWinForPlayerOne) {
    setUpMatch("2vs", 1);
    game.frameCounter = 250;
    game.fighters[2].energy = -2;
    updateState();
    EXPECT_EQ(game.fighters[2].energy, 0);
    EXPECT_EQ(game.fighters[2].knockedOut, 1);
    EXPECT_EQ(game.fighters[1].knockedOut, 0);
    EXPECT_EQ(game.winner, 1);
    EXPECT_EQ(game.bannerText, "PLAYER 1 WINS!");
    EXPECT_EQ(game.bannerTimer, 100);
    EXPECT_EQ(game.matchState, "tell result");
    EXPECT_EQ(game.stateStartFrame, 250);
}

TEST_F(MatchResults, VersusDoubleKnockOutGoesToPlayerTwo) {
    setUpMatch("2vs", 1);
    knockOut(game, 1);
    knockOut(game, 2);
    updateState();
    EXPECT_EQ(game.winner, 2);
    EXPECT_EQ(game.bannerText, "PLAYER 2 WINS!");
    EXPECT_EQ(game.totalScore, 0) << "versus bouts add nothing to the campaign score";
}

TEST_F(MatchResults, OnePlayerWinAddsComboScoreAndEnergyBonus) {
    setUpMatch("1", 3);
    game.totalScore = 70000;
    game.comboScore = 14000;
    game.fighters[1].energy = game.fighters[1].maxEnergy / 2;
    knockOut(game, 2);
    updateState();
    EXPECT_EQ(game.winner, 0) << "one enemy is still standing";
    knockOut(game, 3);
    updateState();
    EXPECT_EQ(game.winner, 1);
    EXPECT_EQ(game.bannerText, "  YOU WIN!  ");
    EXPECT_EQ(game.matchState, "tell result");
    EXPECT_EQ(game.totalScore, 70000 + 14000 + 25000);
}

TEST_F(MatchResults, OnePlayerLossAddsNothing) {
    setUpMatch("1", 1);
    game.totalScore = 70000;
    game.comboScore = 14000;
    game.fighters[1].energy = -0.5f;
    updateState();
    EXPECT_EQ(game.fighters[1].energy, 0);
    EXPECT_EQ(game.winner, 2);
    EXPECT_EQ(game.bannerText, "  YOU LOSE!  ");
    EXPECT_EQ(game.totalScore, 70000);
}

TEST_F(MatchResults, DoubleKnockOutIsALossThatKeepsTheComboScore) {
    setUpMatch("1", 1);
    game.totalScore = 1000;
    game.comboScore = 5000;
    knockOut(game, 1);
    knockOut(game, 2);
    updateState();
    EXPECT_EQ(game.winner, 2);
    EXPECT_EQ(game.bannerText, "  YOU LOSE!  ");
    EXPECT_EQ(game.totalScore, 1000 + 5000) << "the energy bonus of a knocked-out player is 0";
}

TEST_F(MatchResults, CoopIsLostOnlyWhenBothPlayersAreOut) {
    setUpMatch("2coop", 3);
    knockOut(game, 1);
    updateState();
    EXPECT_EQ(game.winner, 0);
    knockOut(game, 2);
    updateState();
    EXPECT_EQ(game.winner, 2);
    EXPECT_EQ(game.bannerText, "  YOU LOSE!  ");
}

TEST_F(MatchResults, CoopIsWonWhenTheEnemiesAreOutEvenWithPlayerTwoDown) {
    setUpMatch("2coop", 3);
    knockOut(game, 2);
    knockOut(game, 3);
    knockOut(game, 4);
    updateState();
    EXPECT_EQ(game.winner, 1);
    EXPECT_EQ(game.bannerText, "  YOU WIN!  ");
    EXPECT_EQ(game.totalScore, 100000) << "the bonus uses player 1's energy";
}

TEST_F(MatchResults, OnceDecidedLaterKnockOutsChangeNothing) {
    setUpMatch("1", 1);
    knockOut(game, 2);
    updateState();
    const int64_t total = game.totalScore;
    knockOut(game, 1);
    game.frameCounter += 5;
    updateState();
    EXPECT_EQ(game.winner, 1);
    EXPECT_EQ(game.fighters[1].knockedOut, 0);
    EXPECT_EQ(game.totalScore, total);
    EXPECT_EQ(game.bannerText, "  YOU WIN!  ");
}

TEST_F(MatchResults, HoldingFourAndOneKnocksOutEveryoneButFighterOne) {
    headless::setFrameHook([&](int presented) {
        if (presented == 5) {
            headless::pressKey('4');
            headless::pressKey('1');
        }
        if (presented == 7) headless::pressKey(Esc);
    });
    game.gameMode = "2coop";
    game.level = 3;
    EXPECT_EQ(game.playMatch(), 3);
    EXPECT_EQ(game.fighters[1].knockedOut, 0);
    for (int i = 2; i <= game.fighterCount; ++i) EXPECT_EQ(game.fighters[i].knockedOut, 1);
    EXPECT_EQ(game.winner, 1) << "player 2 is down too, but the enemies are all out";
}

using MatchEnergyBonus = MatchTest;

TEST_F(MatchEnergyBonus, FullEnergyGivesAHundredThousandAndAQuarterGives6250) {
    setUpMatch("1", 1);
    game.addEnergyBonus();
    EXPECT_EQ(game.totalScore, 100000);
    game.totalScore = 0;
    game.fighters[1].energy = game.fighters[1].maxEnergy / 4;
    game.addEnergyBonus();
    EXPECT_EQ(game.totalScore, 6250);
}

TEST_F(MatchEnergyBonus, TheBonusIsTruncatedAndAddedWithTheComboScoreInSixtyFourBits) {
    setUpMatch("1", 1);
    game.totalScore = 4'000'000'000LL;
    game.comboScore = 3'000'000'000LL;
    // 7 / 20 in single precision lies just below 0.35: 12249.9995... truncates to 12249.
    game.fighters[1].energy = 7;
    game.addEnergyBonus();
    EXPECT_EQ(game.totalScore, 7'000'012'249LL);
    game.totalScore = 0;
    game.comboScore = 0;
    game.fighters[1].energy = 1;  // (1 / 20)^2 * 100000 = 250
    game.addEnergyBonus();
    EXPECT_EQ(game.totalScore, 250);
    game.totalScore = 0;
    game.fighters[1].energy = 3;  // 2250.0000x truncates to 2250
    game.addEnergyBonus();
    EXPECT_EQ(game.totalScore, 2250);
}

using MatchStates = MatchTest;

TEST_F(MatchStates, AWonCampaignLevelShowsTheResultFor100FramesThenTheTally) {
    setUpMatch("1", 4);
    game.frameCounter = 300;
    knockOut(game, 2);
    knockOut(game, 3);
    updateState();
    ASSERT_EQ(game.matchState, "tell result");
    headless::pressKey(Enter);  // cannot skip the result message
    runStateFrames(99);
    EXPECT_EQ(game.matchState, "tell result");
    headless::releaseKey(Enter);
    runStateFrames(1);
    EXPECT_EQ(game.matchState, "level completed");
    EXPECT_EQ(game.stateStartFrame, 400);
    EXPECT_EQ(framesInState(), 0);
}

TEST_F(MatchStates, EnterHeldWhenTheTallyBeginsSkipsItOnItsFirstFrame) {
    setUpMatch("1", 1);
    knockOut(game, 2);
    updateState();
    headless::pressKey(Enter);
    runStateFrames(100);
    EXPECT_EQ(game.matchState, "end");
    EXPECT_EQ(game.stateStartFrame, 100);
    EXPECT_EQ(game.matchResult, 0);
}

TEST_F(MatchStates, TheTallyEndsTheMatchOnEnterOrSpaceAtOnce) {
    for (int key : {Enter, Space}) {
        setUpMatch("1", 4);
        game.winner = 1;
        game.matchState = "level completed";
        game.stateStartFrame = 0;
        headless::pressKey(key);
        runStateFrames(1);
        EXPECT_EQ(game.matchState, "end");
        EXPECT_EQ(game.stateStartFrame, 1);
        headless::releaseKey(key);
    }
    setUpMatch("1", 4);
    game.winner = 1;
    game.matchState = "level completed";
    runStateFrames(600);
    EXPECT_EQ(game.matchState, "level completed") << "no key, no end";
}

TEST_F(MatchStates, TheTallyOfLevelTwentyLeadsToGameOver) {
    setUpMatch("1", 20);
    game.matchState = "level completed";
    game.frameCounter = 50;
    game.stateStartFrame = 10;
    headless::pressKey(Space);
    runStateFrames(1);
    EXPECT_EQ(game.matchState, "game over");
    EXPECT_EQ(game.stateStartFrame, 51);
}

TEST_F(MatchStates, ALostCampaignLevelShowsGameOverAfter100Frames) {
    setUpMatch("2coop", 2);
    game.frameCounter = 120;
    knockOut(game, 1);
    knockOut(game, 2);
    updateState();
    runStateFrames(99);
    EXPECT_EQ(game.matchState, "tell result");
    runStateFrames(1);
    EXPECT_EQ(game.matchState, "game over");
    EXPECT_EQ(game.stateStartFrame, 220);
}

TEST_F(MatchStates, GameOverTakesEnterOnlyAfter20FramesAndEntersTheScore) {
    matchtest::ScopedTempFolder folder;
    game.defaultHighScores();
    setUpMatch("1", 6);
    game.totalScore = 4321;
    game.matchState = "game over";
    game.stateStartFrame = 1;  // the first frame below is the screen's frame 0
    headless::typeText("ab");
    runStateFrames(3);  // frames 0..2 empty the input: "ab" is discarded
    headless::typeText("zed");
    headless::pressKey(Enter);
    runStateFrames(18);
    EXPECT_EQ(framesInState(), 20);
    EXPECT_EQ(game.matchState, "game over");
    runStateFrames(1);
    EXPECT_EQ(game.matchState, "highscores");
    EXPECT_EQ(framesInState(), 0);
    EXPECT_EQ(game.playerName, "ZED");
    ASSERT_FALSE(game.highScores.empty());
    EXPECT_EQ(game.highScores.front().name, "ZED");
    EXPECT_EQ(game.highScores.front().score, 4321);
    EXPECT_EQ(game.highScores.size(), 20u);
    EXPECT_TRUE(events.has(MatchEffect::ScoreEntered)) << "the frame says so: the score keeper saves it";
    EXPECT_FALSE(std::filesystem::exists("scores.txt")) << "the step itself writes no file";
}

TEST_F(MatchStates, SpaceDoesNotConfirmTheName) {
    setUpMatch("1", 6);
    game.matchState = "game over";
    headless::pressKey(Space);
    runStateFrames(100);
    EXPECT_EQ(game.matchState, "game over");
}

TEST_F(MatchStates, TheHighScoreTableEndsTheMatchAfter20FramesKeepingItsStartFrame) {
    for (int key : {Enter, Space}) {
        setUpMatch("1", 6);
        game.matchState = "highscores";
        game.frameCounter = 500;
        game.stateStartFrame = 500;
        headless::pressKey(key);
        runStateFrames(20);
        EXPECT_EQ(game.matchState, "highscores");
        runStateFrames(1);
        EXPECT_EQ(game.matchState, "end");
        EXPECT_EQ(game.stateStartFrame, 500);
        headless::releaseKey(key);
    }
}

TEST_F(MatchStates, VersusResultEndsOnEnterOrSpaceOrAfter400Frames) {
    setUpMatch("2vs", 1);
    knockOut(game, 2);
    updateState();
    runStateFrames(399);
    EXPECT_EQ(game.matchState, "tell result");
    runStateFrames(1);
    EXPECT_EQ(game.matchState, "end");
    EXPECT_EQ(game.matchResult, 0);

    for (int key : {Enter, Space}) {
        setUpMatch("2vs", 1);
        knockOut(game, 1);
        updateState();
        headless::pressKey(key);
        runStateFrames(1);
        EXPECT_EQ(game.matchState, "end");
        headless::releaseKey(key);
    }
}

TEST_F(MatchStates, AVersusKnockOutWithEnterHeldEndsInTheSameFrame) {
    setUpMatch("2vs", 1);
    headless::pressKey(Enter);
    readKeyboard();
    knockOut(game, 2);
    updateState();
    EXPECT_EQ(game.winner, 1);
    EXPECT_EQ(game.matchState, "end");
}

TEST_F(MatchStates, EscEndsTheMatchFromEveryState) {
    matchtest::ScopedTempFolder folder;
    game.defaultHighScores();
    for (const char* state : {"game", "tell result", "level completed", "game over", "highscores"}) {
        SCOPED_TRACE(state);
        setUpMatch("1", 2);
        game.matchState = state;
        game.stateStartFrame = 0;
        game.frameCounter = 3;
        headless::pressKey(Esc);
        readKeyboard();
        updateState();
        EXPECT_EQ(game.matchState, "end");
        EXPECT_EQ(game.matchResult, 3);
        EXPECT_EQ(game.stateStartFrame, 0);
        headless::releaseKey(Esc);
    }
}

TEST_F(MatchStates, PlayMatchReturnsTheWinnerOrThreeAfterEsc) {
    headless::setFrameHook([&](int presented) {
        if (presented == 3) {
            headless::pressKey('4');
            headless::pressKey('1');
        }
        if (presented == 6) headless::pressKey(Space);
    });
    game.gameMode = "2vs";
    game.level = 1;
    EXPECT_EQ(game.playMatch(), 1);
    EXPECT_EQ(game.screen, "match");

    headless::start();
    headless::setFrameHook([&](int presented) {
        if (presented == 10) headless::pressKey(Esc);
    });
    EXPECT_EQ(game.playMatch(), 3);
    EXPECT_EQ(game.frameCounter, 11);
}

using MatchPause = MatchTest;

TEST_F(MatchPause, PPausesTheMatchUntilPressedAgainWithoutDrawing) {
    int frameDuringPause = -1;
    bool drewDuringPause = false;
    int frameAfterPause = -1;
    headless::setFrameHook([&](int presented) {
        if (presented == 10) headless::pressKey(P);
        if (presented == 12) headless::releaseKey(P);
        if (presented == 15) {
            frameDuringPause = game.frameCounter;
            drewDuringPause = !headless::lastFrame().empty();
        }
        if (presented == 21) headless::pressKey(P);
        if (presented == 30) {
            frameAfterPause = game.frameCounter;
            headless::pressKey(Esc);
        }
    });
    game.gameMode = "1";
    game.level = 1;
    EXPECT_EQ(game.playMatch(), 3);
    EXPECT_EQ(frameDuringPause, 11);
    EXPECT_FALSE(drewDuringPause);
    // Presents 11..21 were the pause; frame 11 was then presented as the 22nd.
    EXPECT_EQ(frameAfterPause, 19);
}

TEST_F(MatchPause, EscEndsThePauseAndQuitsTheMatch) {
    headless::setFrameHook([&](int presented) {
        if (presented == 10) headless::pressKey(P);
        if (presented == 14) headless::pressKey(Esc);
        if (presented > 100) throw ProgramEnd{1};  // the pause never ended
    });
    game.gameMode = "1";
    game.level = 1;
    EXPECT_EQ(game.playMatch(), 3);
    EXPECT_EQ(game.frameCounter, 11);
    EXPECT_EQ(headless::presentedFrames(), 15);
}

TEST_F(MatchPause, PIsTypedOnTheNameEntryAndHighScoreScreensAndPausesElsewhere) {
    for (const char* state : {"game", "tell result", "level completed", "game over", "highscores"}) {
        const bool typed = std::string(state) == "game over" || std::string(state) == "highscores";
        game.matchState = state;
        game.pendingPauseHits = 0;
        events.clear();
        headless::pressKey(P);
        readKeyboard();
        game.pauseIfRequested(events);
        headless::releaseKey(P);
        EXPECT_EQ(events.paused, !typed) << state;
        EXPECT_EQ(game.pendingPauseHits, typed ? 1 : 0) << state;
    }
}

}  // namespace
