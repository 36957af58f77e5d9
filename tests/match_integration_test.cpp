// Whole runs of the game through its main loop on the headless backend: a 20-level
// campaign won with the 4 + 1 keys, and a versus series counted until Esc. A small
// player reacts to the screen and match state after every presented frame.

#include <fstream>
#include <map>
#include <set>

#include "tests/match_test_support.h"

namespace {

using matchtest::ScopedTempFolder;

constexpr int Enter = 13, Esc = 27, Space = 32, Down = 40;
constexpr int Four = '4', One = '1';

void hold(int key) { headless::pressKey(key); }
void letGo(int key) { headless::releaseKey(key); }
// A press that KeyHit counts: the key goes down on one frame, up on the next.
void tap(int key) {
    if (KeyDown(key))
        letGo(key);
    else
        hold(key);
}

class MatchWholeGame : public ::testing::Test {
protected:
    void SetUp() override { headless::start(); }
    void TearDown() override {
        headless::setFrameHook(nullptr);
        headless::stop();
    }

    // Runs the game until the hook ends it (by Esc on the main menu).
    void runGame() {
        try {
            game.run();
        } catch (const ProgramEnd&) {
        }
    }

    int framesInState() const { return game.frameCounter - game.stateStartFrame; }

    ScopedTempFolder folder;  // the run reads and writes its option and score files here
    Game game;
    int menuVisits = 0;
    std::string lastScreen;
};

TEST_F(MatchWholeGame, AOnePlayerCampaignWonWithFourAndOneEndsInTheHighScoreTable) {
    std::vector<int> levelsPlayed;
    std::set<std::string> finalStates;
    headless::setFrameHook([&](int presented) {
        if (presented > 20000) throw ProgramEnd{2};  // the campaign never ended
        const bool entered = game.screen != lastScreen;
        lastScreen = game.screen;
        if (game.screen == "splash") hold(Space);
        if (game.screen == "menu") {
            if (entered) ++menuVisits;
            letGo(Four);
            letGo(One);
            tap(menuVisits == 1 ? Enter : Esc);  // play, then leave the game
        }
        if (game.screen == "modes") tap(Enter);  // 1 PLAYER
        if (game.screen != "match") return;

        if (game.frameCounter == 1) levelsPlayed.push_back(game.level);
        if (game.level == 20) finalStates.insert(game.matchState);
        if (game.matchState == "game") {
            letGo(Enter);
            hold(Four);
            hold(One);
        }
        // Enter is let go during the result so that the tally shows for a frame.
        if (game.matchState == "tell result") letGo(Enter);
        if (game.matchState == "level completed") hold(Enter);
        if (game.matchState == "game over") {
            letGo(Enter);
            if (framesInState() == 10) headless::typeText("ace");
            if (framesInState() >= 30) hold(Enter);
        }
    });
    runGame();

    finalStates.erase("game");  // four and one are held from level 1 on: usually decided at once
    std::vector<int> allLevels;
    for (int level = 1; level <= 20; ++level) allLevels.push_back(level);
    EXPECT_EQ(levelsPlayed, allLevels);
    EXPECT_EQ(finalStates, (std::set<std::string>{"tell result", "level completed", "game over",
                                                  "highscores", "end"}));
    // Every level won at full energy without a blow: 20 energy bonuses.
    EXPECT_EQ(game.totalScore, 20 * 100000);
    EXPECT_EQ(game.level, 21);
    EXPECT_EQ(menuVisits, 2);
    ASSERT_EQ(game.highScores.size(), 20u);
    EXPECT_EQ(game.highScores.front().name, "ACE");
    EXPECT_EQ(game.highScores.front().score, 2000000);

    std::ifstream file("scores.txt", std::ios::binary);
    std::string first, second;
    std::getline(file, first);
    std::getline(file, second);
    EXPECT_EQ(first, "ACE\r");
    EXPECT_EQ(second, "2000000\r");
}

TEST_F(MatchWholeGame, ALostCampaignEndsAfterItsFirstLevelWithoutPoints) {
    headless::setFrameHook([&](int presented) {
        if (presented > 5000) throw ProgramEnd{2};
        const bool entered = game.screen != lastScreen;
        lastScreen = game.screen;
        if (game.screen == "splash") hold(Space);
        if (game.screen == "menu") {
            if (entered) ++menuVisits;
            tap(menuVisits == 1 ? Enter : Esc);
        }
        if (game.screen == "modes") tap(Enter);
        if (game.screen != "match") return;
        if (game.matchState == "game") game.fighters[1].energy = 0;
        if (game.matchState == "game over" && framesInState() >= 25) hold(Enter);
        if (game.matchState == "highscores") hold(Space);
    });
    runGame();
    EXPECT_EQ(game.level, 2);
    EXPECT_EQ(game.totalScore, 0);
    EXPECT_EQ(menuVisits, 2);
    for (const ScoreEntry& entry : game.highScores) EXPECT_EQ(entry.score, 0);
}

TEST_F(MatchWholeGame, AVersusSeriesCountsWinsUntilEsc) {
    std::vector<std::string> openingBanners;
    std::map<int, int> winnerOfBout;
    int bout = 0;
    int modesFrames = 0;
    headless::setFrameHook([&](int presented) {
        if (presented > 20000) throw ProgramEnd{2};
        const bool entered = game.screen != lastScreen;
        lastScreen = game.screen;
        if (game.screen == "splash") hold(Space);
        if (game.screen == "menu") {
            if (entered) ++menuVisits;
            tap(menuVisits == 1 ? Enter : Esc);
        }
        if (game.screen == "modes") {
            // Down to 2 PLAYERS VS, then Enter.
            ++modesFrames;
            if (modesFrames <= 2) tap(Down);
            if (modesFrames >= 3) tap(Enter);
        }
        if (game.screen != "match") return;

        if (game.frameCounter == 1) {
            ++bout;
            letGo(Space);
            letGo(Enter);  // still down from the mode screen
        }
        // The opening message is set on the match's second frame; nobody falls before.
        if (game.frameCounter == 2) openingBanners.push_back(game.bannerText);
        if (game.matchState == "game" && game.frameCounter >= 2) {
            if (bout == 1 || bout == 3) {
                hold(Four);  // player 2 is knocked out
                hold(One);
            }
            if (bout == 2) game.fighters[1].energy = 0;
            if (bout == 4 && game.frameCounter == 30) hold(Esc);
        }
        if (game.matchState == "tell result") {
            winnerOfBout[bout] = game.winner;
            letGo(Four);
            letGo(One);
            if (framesInState() >= 5) hold(Space);
        }
    });
    runGame();

    EXPECT_EQ(bout, 4);
    EXPECT_EQ(openingBanners,
              (std::vector<std::string>{"  0 - 0  ", "  1 - 0  ", "  1 - 1  ", "  2 - 1  "}));
    EXPECT_EQ(winnerOfBout, (std::map<int, int>{{1, 1}, {2, 2}, {3, 1}}));
    EXPECT_EQ(game.wins[1], 2);
    EXPECT_EQ(game.wins[2], 1);
    EXPECT_EQ(game.matchResult, 3);
    EXPECT_EQ(menuVisits, 2);
}

}  // namespace
