// The level tally's counting figures and row timing, and the game-over screen's
// score line and name prompt.

#include <functional>

#include "tests/match_test_support.h"

namespace {

using headless::DrawCall;
using matchtest::drewText;
using matchtest::MatchTest;
using matchtest::textAt;
using matchtest::textsDrawn;

constexpr float ValueX = 724, LabelX = 100;
constexpr float MaxComboY = 240, ComboY = 340, BonusY = 440, TotalY = 540;

class MatchEndScreens : public MatchTest {
protected:
    void SetUp() override {
        MatchTest::SetUp();
        setUpMatch("1", 3);
    }

    // The texts one call of a screen draws, in a frame of its own.
    std::vector<DrawCall> textsOf(const std::function<void()>& draw) {
        Flip(-1);
        readKeyboard();
        draw();
        return textsDrawn();
    }
    // Frame f of a screen as the match steps it and then draws it.
    void stepTally(int f) {
        events.clear();
        game.levelCompleteScreen(f, events);
        game.drawEndScreens(events);
    }
    void stepGameOver(int f) {
        events.clear();
        game.gameOverScreen(f, events);
        game.drawEndScreens(events);
    }
    std::vector<DrawCall> tally(int f) {
        return textsOf([&] { stepTally(f); });
    }
    std::vector<DrawCall> gameOver(int f) {
        return textsOf([&] { stepGameOver(f); });
    }

    // The value shown in the row at y, or "" when not drawn.
    static std::string valueAt(const std::vector<DrawCall>& texts, float y) {
        const DrawCall* call = textAt(texts, ValueX, y);
        return call ? call->text : "";
    }

    static float centredX(const std::string& text, float scale) {
        return static_cast<float>((1024 - static_cast<int>(TextWidth(text) * scale)) / 2);
    }

    // A won level: 500000 before it, combo score 36001, full energy (bonus 100000).
    void winLevel() {
        game.levelStartScore = 500000;
        game.comboScore = 36001;
        game.maxCombo = 4;
        game.totalScore = 500000 + 36001 + 100000;
    }
};

TEST_F(MatchEndScreens, TheTallyShowsTheLevelsFiguresUntilTheCountStarts) {
    winLevel();
    for (int t : {271, 299, 300}) {
        const auto texts = tally(t - 1);
        SCOPED_TRACE("t = " + std::to_string(t));
        EXPECT_EQ(valueAt(texts, MaxComboY), "4");
        EXPECT_EQ(valueAt(texts, ComboY), "36001");
        EXPECT_EQ(valueAt(texts, BonusY), "100000");
        EXPECT_EQ(valueAt(texts, TotalY), "500000");
    }
}

TEST_F(MatchEndScreens, HalfwayThroughTheCountEveryFigureIsHalfwayTruncated) {
    winLevel();
    const auto texts = tally(359);  // t = 360
    EXPECT_EQ(valueAt(texts, ComboY), "18000");
    EXPECT_EQ(valueAt(texts, BonusY), "50000");
    EXPECT_EQ(valueAt(texts, TotalY), "568000");  // 318000.5 + 250000
}

TEST_F(MatchEndScreens, AfterTheCountTheNewTotalStands) {
    winLevel();
    for (int t : {420, 421, 2000}) {
        const auto texts = tally(t - 1);
        SCOPED_TRACE("t = " + std::to_string(t));
        EXPECT_EQ(valueAt(texts, ComboY), "0");
        EXPECT_EQ(valueAt(texts, BonusY), "0");
        EXPECT_EQ(valueAt(texts, TotalY), "636001");
    }
}

TEST_F(MatchEndScreens, TheBonusFollowsPlayerOnesEnergy) {
    game.fighters[1].energy = game.fighters[1].maxEnergy / 4;
    EXPECT_EQ(valueAt(tally(250), BonusY), "6250");
    game.fighters[1].energy = game.fighters[1].maxEnergy;
    EXPECT_EQ(valueAt(tally(250), BonusY), "100000");
}

TEST_F(MatchEndScreens, TensOfMillionsCountUpSmoothlyWithoutOverflow) {
    game.levelStartScore = 40'000'000;
    game.comboScore = 30'000'000;
    game.maxCombo = 60;
    game.totalScore = 40'000'000 + 30'000'000 + 100'000;
    int64_t lastTotal = 40'000'000, lastCombo = 30'000'000;
    for (int t = 300; t <= 421; ++t) {
        const auto texts = tally(t - 1);
        const int64_t total = std::stoll(valueAt(texts, TotalY));
        const int64_t comboShown = std::stoll(valueAt(texts, ComboY));
        SCOPED_TRACE("t = " + std::to_string(t));
        ASSERT_GE(total, lastTotal);
        ASSERT_LE(total - lastTotal, 300'000) << "no jump larger than one frame's share";
        ASSERT_LE(comboShown, lastCombo);
        ASSERT_GE(comboShown, 0);
        lastTotal = total;
        lastCombo = comboShown;
        if (t == 360) {
            EXPECT_EQ(total, 55'050'000);
            EXPECT_EQ(comboShown, 15'000'000);
        }
    }
    EXPECT_EQ(lastTotal, 70'100'000);
}

TEST_F(MatchEndScreens, AComboScoreBeyond32BitsCountsDownExactly) {
    game.comboScore = 6'000'000'000LL;
    game.totalScore = 6'000'100'000LL;
    game.levelStartScore = 0;
    EXPECT_EQ(valueAt(tally(329), ComboY), "4500000000");  // t = 330: 90 / 120
    EXPECT_EQ(valueAt(tally(329), TotalY), "1500025000");
}

TEST_F(MatchEndScreens, TheTallyRowsComeUpLabelByLabel) {
    winLevel();
    struct Row {
        const char* label;
        float y;
        int labelAfter;
    };
    const Row rows[] = {{"MAX COMBO: ", MaxComboY, 60},
                        {"COMBO SCORE: ", ComboY, 120},
                        {"ENERGY BONUS: ", BonusY, 180},
                        {"TOTAL SCORE: ", TotalY, 240}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        const int t = row.labelAfter;  // the last frame without the label
        auto texts = tally(t - 1);
        EXPECT_EQ(textAt(texts, LabelX, row.y), nullptr);
        texts = tally(t);
        const DrawCall* label = textAt(texts, LabelX, row.y);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text, row.label);
        EXPECT_EQ(label->scaleX, 0.375f);
        EXPECT_EQ(valueAt(texts, row.y), "");
        EXPECT_EQ(valueAt(tally(t + 29), row.y), "");
        EXPECT_NE(valueAt(tally(t + 30), row.y), "");
    }
}

TEST_F(MatchEndScreens, TheTallyTitleIsCentredInTheTitleColourFromTheFirstFrame) {
    game.level = 12;
    const auto texts = tally(0);
    const std::string title = "LEVEL 12 COMPLETED";
    const DrawCall* call = textAt(texts, centredX(title, 0.525f), 50);
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->text, title);
    EXPECT_EQ(call->scaleX, 0.525f);
    EXPECT_EQ(call->r, game.palette[1][1]);
    EXPECT_EQ(call->g, game.palette[1][2]);
    EXPECT_EQ(call->b, game.palette[1][3]);
    EXPECT_EQ(texts.size(), 1u) << "nothing else on the first frame";
}

TEST_F(MatchEndScreens, TheTallyDiscardsTypedInputAndPresses) {
    headless::typeText("xyz");
    headless::pressKey('P');
    headless::pressKey(32);
    tally(10);
    EXPECT_EQ(game.typedQueue, "");
    EXPECT_EQ(game.pendingPauseHits, 0);
    EXPECT_TRUE(game.frameInput.holds(KeySpace)) << "a held key stays held";
}

TEST_F(MatchEndScreens, BothScreensLeaveTheScaleAtOne) {
    winLevel();
    game.defaultHighScores();
    for (int f : {0, 500}) {
        stepTally(f);
        DrawRect(0, 0, 1, 1);
        EXPECT_EQ(headless::currentFrame().back().scaleX, 1.0f);
        stepGameOver(f);
        DrawRect(0, 0, 1, 1);
        EXPECT_EQ(headless::currentFrame().back().scaleY, 1.0f);
    }
}

TEST_F(MatchEndScreens, GameOverShowsTheScoreAfterASecond) {
    game.defaultHighScores();
    game.totalScore = 4321;
    auto texts = gameOver(0);
    const DrawCall* title = textAt(texts, centredX("GAME OVER", 0.975f), 20);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text, "GAME OVER");
    EXPECT_EQ(title->scaleX, 0.975f);
    EXPECT_FALSE(drewText(gameOver(59), "SCORE: 4321"));
    texts = gameOver(60);
    const DrawCall* score = textAt(texts, centredX("SCORE: 4321", 0.6f), 200);
    ASSERT_NE(score, nullptr);
    EXPECT_EQ(score->text, "SCORE: 4321");
    EXPECT_EQ(score->scaleX, 0.6f);
}

TEST_F(MatchEndScreens, TheNamePromptShowsAfterTwoSecondsForAQualifyingScore) {
    game.defaultHighScores();
    game.totalScore = 4321;
    game.playerName = "";
    EXPECT_FALSE(drewText(gameOver(119), "ENTER YOUR NAME:"));
    auto texts = gameOver(120);
    const DrawCall* prompt = textAt(texts, centredX("ENTER YOUR NAME:", 0.3f), 450);
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->text, "ENTER YOUR NAME:");
    EXPECT_EQ(texts.size(), 3u) << "an empty name draws nothing";

    headless::typeText("Kim");
    for (int f = 121; f <= 123; ++f) gameOver(f);
    texts = gameOver(124);
    EXPECT_EQ(game.playerName, "KIM");
    const DrawCall* name = textAt(texts, centredX("KIM", 0.6f), 542);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text, "KIM");
    EXPECT_EQ(name->scaleX, 0.6f);
}

TEST_F(MatchEndScreens, NoPromptForAZeroTotalOrOneThatDoesNotBeatTheLastPlace) {
    game.defaultHighScores();
    game.totalScore = 0;
    EXPECT_FALSE(drewText(gameOver(300), "ENTER YOUR NAME:"));
    for (auto& entry : game.highScores) entry.score = 800;
    game.totalScore = 800;
    EXPECT_FALSE(drewText(gameOver(300), "ENTER YOUR NAME:"));
    game.totalScore = 801;
    EXPECT_TRUE(drewText(gameOver(300), "ENTER YOUR NAME:"));
}

}  // namespace
