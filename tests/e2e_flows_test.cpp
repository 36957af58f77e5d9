// Whole games through the tumblebout-headless program, each from start-up: a level won
// by fighting with the arrow keys, its tally and the next level; a lost campaign to the
// game-over screen, a typed name and the score table and file; a co-operative level
// with both players; a versus bout decided by blows and Esc back to the menu; the
// options changed and their file rewritten; the window closed with nothing saved.
//
// The fights replay key plans found by tumblebout-fightsearch (tests/scripts/); their
// "# match-start" and "# decided" comments give the frames where the fight begins and
// where it was decided.

#include "tests/e2e_support.h"

namespace {

using e2e::energies;
using e2e::jsonNumber;
using e2e::jsonValue;
using e2e::jsonValues;
using e2e::scriptMarker;
using e2e::scriptText;
using shelltest::crlfLines;
using shelltest::readBytes;
using shelltest::writeBytes;

class E2eFlows : public e2e::RunnerTest {
protected:
    // The dumps of the frames in `frames` whose match state is `state`, in frame order.
    static std::vector<int> framesInState(const e2e::RunnerResult& result, const std::string& state) {
        std::vector<int> frames;
        for (const auto& [frame, json] : result.dumps)
            if (jsonValue(json, "matchState") == state && jsonValue(json, "screen") == "match") frames.push_back(frame);
        return frames;
    }
};

// ---- A level won by fighting --------------------------------------------------------------------

TEST_F(E2eFlows, ALevelWonWithTheArrowKeysLeadsThroughTheTallyToLevelTwo) {
    std::string script = scriptText("e2e_win_level1.txt");
    const int start = scriptMarker(script, "match-start");
    const int decided = scriptMarker(script, "decided");
    ASSERT_GT(start, 0);
    ASSERT_GT(decided, start + 100);  // no blow counts before "FIGHT!"
    // After the result (100 frames) the tally counts (420 frames); Enter then goes on.
    const int tallyDone = decided + 100 + 440;
    script += std::to_string(tallyDone) + " down ENTER\n" + std::to_string(tallyDone + 3) + " up ENTER\n";
    // The arrow keys only: nothing else is held during the fight.
    for (const char* forbidden : {" 4", " 1\n", " A\n", " W\n", " S\n", " D\n"})
        EXPECT_EQ(script.find(std::string(" down") + forbidden), std::string::npos) << forbidden;

    std::vector<int> frames = everyFrame(start, tallyDone + 60, 10);  // the runner refuses later ones
    frames.push_back(decided - 1);
    frames.push_back(decided);
    frames.push_back(tallyDone + 50);
    const e2e::RunnerResult result = run(script, 1000, tallyDone + 60, frames);
    ASSERT_EQ(result.exitCode, 0) << result.errors;

    const std::string& before = result.dumps.at(decided - 1);
    const std::string& after = result.dumps.at(decided);
    EXPECT_EQ(jsonValue(before, "matchState"), "game");
    EXPECT_EQ(jsonValue(after, "matchState"), "tell result");
    EXPECT_EQ(jsonValue(after, "bannerText"), "  YOU WIN!  ");
    EXPECT_EQ(jsonValue(after, "winner"), "1");
    // The enemy fell to blows: its energy was worn down before the end, combos scored.
    const std::vector<double> energyBefore = energies(before);
    ASSERT_EQ(energyBefore.size(), 2u);
    EXPECT_LT(energyBefore[1], 20.0);
    EXPECT_EQ(energies(after)[1], 0.0);
    const double comboScore = jsonNumber(after, "comboScore");
    EXPECT_GT(comboScore, 0);
    EXPECT_GT(jsonNumber(after, "maxCombo"), 0);
    // The energy bonus was added with the combo score when the level was won.
    EXPECT_GT(jsonNumber(after, "totalScore"), comboScore);

    // The enemy's energy only went down during the fight (blows, never healing).
    double lastEnemy = 20;
    int drops = 0;
    for (const auto& [frame, json] : result.dumps) {
        if (frame > decided || jsonValue(json, "screen") != "match") continue;
        const double enemy = energies(json).at(1);
        EXPECT_LE(enemy, lastEnemy) << "frame " << frame;
        if (enemy < lastEnemy) ++drops;
        lastEnemy = enemy;
    }
    EXPECT_GE(drops, 2);

    const std::vector<int> tally = framesInState(result, "level completed");
    ASSERT_FALSE(tally.empty());
    EXPECT_GE(tally.front(), decided + 100);
    EXPECT_LE(tally.front(), decided + 111);
    EXPECT_EQ(jsonValue(result.dumps.at(tally.front()), "level"), "1");

    // Enter after the tally: the next level, with the score carried into it.
    const std::string& levelTwo = result.dumps.at(tallyDone + 50);
    EXPECT_EQ(jsonValue(levelTwo, "level"), "2");
    EXPECT_EQ(jsonValue(levelTwo, "matchState"), "game");
    EXPECT_EQ(jsonValue(levelTwo, "bannerText"), "   LEVEL 2   ");
    EXPECT_EQ(jsonNumber(levelTwo, "totalScore"), jsonNumber(after, "totalScore"));
    EXPECT_EQ(jsonNumber(levelTwo, "levelStartScore"), jsonNumber(after, "totalScore"));
    EXPECT_EQ(jsonNumber(levelTwo, "comboScore"), 0);
    EXPECT_EQ(jsonValues(levelTwo, "scale").at(1), "2.5");  // level 2's larger enemy
}

// ---- A lost campaign ------------------------------------------------------------------------------

TEST_F(E2eFlows, ALostCampaignEndsWithATypedNameInTheTableAndItsFile) {
    // Level 1 won by fighting, then level 2 lost to blows taken.
    std::string script = scriptText("e2e_lose_level2.txt");
    const int decided = scriptMarker(script, "decided");
    ASSERT_GT(decided, 1800);
    const int gameOver = decided + 100;  // the result message stays 100 frames
    script += std::to_string(gameOver + 8) + " type ace\\b\\bce x\n" + std::to_string(gameOver + 45) +
              " down ENTER\n" + std::to_string(gameOver + 75) + " up ENTER\n";
    // Enter, still held, leaves the table after its first 20 frames.
    const int table = gameOver + 60, menu = gameOver + 140;
    const e2e::RunnerResult named =
        run(script, 1000, menu + 5, {decided - 1, decided, gameOver - 1, gameOver, gameOver + 40, table, menu});
    ASSERT_EQ(named.exitCode, 0) << named.errors;

    const std::string& before = named.dumps.at(decided - 1);
    EXPECT_EQ(jsonValue(before, "level"), "2");
    EXPECT_GT(energies(before).at(0), 0.0);
    const std::string& lost = named.dumps.at(decided);
    EXPECT_EQ(jsonValue(lost, "bannerText"), "  YOU LOSE!  ");
    EXPECT_EQ(energies(lost).at(0), 0.0);
    EXPECT_EQ(jsonValue(named.dumps.at(gameOver - 1), "matchState"), "tell result");
    const std::string& over = named.dumps.at(gameOver);
    EXPECT_EQ(jsonValue(over, "matchState"), "game over");
    EXPECT_EQ(jsonValue(over, "winner"), "2");
    // Level 1's points are kept, level 2's combo points are not.
    const std::string total = jsonValue(over, "totalScore");
    EXPECT_EQ(total, jsonValue(over, "levelStartScore"));
    EXPECT_GT(std::atoll(total.c_str()), 100000);

    EXPECT_EQ(jsonValue(named.dumps.at(gameOver + 40), "playerName"), "ACE X");
    const std::string& shown = named.dumps.at(table);
    EXPECT_EQ(jsonValue(shown, "matchState"), "highscores");
    EXPECT_EQ(jsonValues(shown, "name").at(0), "ACE X");
    EXPECT_EQ(jsonValues(shown, "score").at(0), total);
    EXPECT_EQ(jsonValues(shown, "name").size(), 20u);
    EXPECT_EQ(jsonValue(named.dumps.at(menu), "screen"), "menu");

    std::vector<std::string> lines = {"ACE X", total};
    for (int place = 2; place <= 20; ++place) {
        lines.push_back("NOBODY");
        lines.push_back("0");
    }
    EXPECT_EQ(readBytes(path("scores.txt")), crlfLines(lines));
}

// ---- Two players ------------------------------------------------------------------------------------

TEST_F(E2eFlows, ACoOperativeLevelIsWonByBothPlayers) {
    std::string script = scriptText("e2e_coop_level1.txt");
    const int start = scriptMarker(script, "match-start");
    const int decided = scriptMarker(script, "decided");
    ASSERT_GT(start, 0);
    ASSERT_GT(decided, start + 100);
    EXPECT_NE(script.find(" down W"), std::string::npos);  // player 2 steers too
    const int next = decided + 100 + 30;
    script += std::to_string(next) + " down SPACE\n" + std::to_string(next + 3) + " up SPACE\n";

    std::vector<int> frames = everyFrame(start, decided - 1, 15);
    frames.push_back(decided);
    frames.push_back(next + 40);
    const e2e::RunnerResult result = run(script, 2000, next + 50, frames);
    ASSERT_EQ(result.exitCode, 0) << result.errors;

    const std::string& first = result.dumps.at(start);
    EXPECT_EQ(jsonValue(first, "gameMode"), "2coop");
    EXPECT_EQ(jsonValue(first, "fighterCount"), "3");
    EXPECT_EQ(jsonValues(first, "team"), (std::vector<std::string>{"1", "1", "0"}));

    // Both players' heads travel under their keys.
    double minX[2] = {1e9, 1e9}, maxX[2] = {-1e9, -1e9};
    for (const auto& [frame, json] : result.dumps) {
        if (frame >= decided) continue;
        const std::vector<std::string> xs = jsonValues(json, "x");  // 26 nodes per fighter
        for (int player = 0; player < 2; ++player) {
            const double head = std::atof(xs.at(player * 26 + 15).c_str());
            minX[player] = std::min(minX[player], head);
            maxX[player] = std::max(maxX[player], head);
        }
    }
    EXPECT_GT(maxX[0] - minX[0], 200);
    EXPECT_GT(maxX[1] - minX[1], 200);

    const std::string& won = result.dumps.at(decided);
    EXPECT_EQ(jsonValue(won, "matchState"), "tell result");
    EXPECT_EQ(jsonValue(won, "winner"), "1");
    EXPECT_GT(jsonNumber(won, "comboScore"), 0);
    EXPECT_EQ(energies(won).at(2), 0.0);
    const std::string& levelTwo = result.dumps.at(next + 40);
    EXPECT_EQ(jsonValue(levelTwo, "level"), "2");
    EXPECT_EQ(jsonValue(levelTwo, "gameMode"), "2coop");
    EXPECT_EQ(jsonValue(levelTwo, "fighterCount"), "3");
}

TEST_F(E2eFlows, AVersusBoutDecidedByBlowsShowsItsScoreAndEscLeadsBackToTheMenu) {
    std::string script = scriptText("e2e_versus_bout.txt");
    const int start = scriptMarker(script, "match-start");
    const int decided = scriptMarker(script, "decided");
    ASSERT_GT(start, 0);
    ASSERT_GT(decided, start + 100);
    const int nextBout = decided + 40;
    const int esc = nextBout + 60;
    script += std::to_string(decided + 30) + " down SPACE\n" + std::to_string(decided + 33) + " up SPACE\n" +
              std::to_string(esc) + " down ESC\n" + std::to_string(esc + 3) + " up ESC\n";
    const e2e::RunnerResult result =
        run(script, 3000, esc + 20, {decided - 1, decided, nextBout + 20, esc + 10});
    ASSERT_EQ(result.exitCode, 0) << result.errors;

    const std::string& before = result.dumps.at(decided - 1);
    EXPECT_EQ(jsonValue(before, "gameMode"), "2vs");
    EXPECT_GT(energies(before).at(1), 0.0);
    const std::string& won = result.dumps.at(decided);
    EXPECT_EQ(jsonValue(won, "matchState"), "tell result");
    EXPECT_EQ(jsonValue(won, "bannerText"), "PLAYER 1 WINS!");
    EXPECT_EQ(energies(won).at(1), 0.0);
    EXPECT_EQ(jsonValue(won, "knockedOut"), "0");

    // The next bout opens with the score of the series.
    const std::string& second = result.dumps.at(nextBout + 20);
    EXPECT_EQ(jsonValue(second, "matchState"), "game");
    EXPECT_EQ(jsonValue(second, "bannerText"), "  1 - 0  ");
    EXPECT_NE(second.find("\"wins\":[1,0]"), std::string::npos);
    EXPECT_EQ(energies(second), (std::vector<double>{20, 20}));

    const std::string& menu = result.dumps.at(esc + 10);
    EXPECT_EQ(jsonValue(menu, "screen"), "menu");
    EXPECT_EQ(jsonValue(menu, "selection"), "1");
}

// ---- Options -----------------------------------------------------------------------------------------

TEST_F(E2eFlows, ChangedOptionsRewriteTheFileAndComeBackAtTheNextStart) {
    const std::string script =
        "0 down SPACE\n4 up SPACE\n"
        "8 tap DOWN\n10 tap ENTER    # OPTIONS\n"
        "14 tap RIGHT               # GRAVITY 1 -> 2\n"
        "16 tap DOWN\n18 tap LEFT   # PLAYERS SPEED 4 -> 3\n"
        "20 tap DOWN\n22 tap DOWN\n24 tap DOWN\n26 tap RIGHT\n28 tap RIGHT  # AI LEVEL 1 -> 3\n"
        "30 tap DOWN\n32 tap DOWN\n34 tap LEFT  # BLOOD 10 -> 9\n"
        "36 tap ESC                 # leaves, saving\n";
    const e2e::RunnerResult first = run(script, 5, 50, {29, 45});
    ASSERT_EQ(first.exitCode, 0) << first.errors;
    EXPECT_EQ(jsonValue(first.dumps.at(29), "screen"), "options");
    EXPECT_EQ(jsonValue(first.dumps.at(45), "screen"), "menu");
    EXPECT_EQ(readBytes(path("prefs.tbt")),
              crlfLines({"1", "3", "5", "1", "5", "1", "3", "0", "6", "6", "2", "3", "9"}));

    // The next start reads them back, and a match plays with them.
    const e2e::RunnerResult second =
        run("0 down SPACE\n4 up SPACE\n8 tap ENTER\n14 tap ENTER\n", 5, 60, {6, 55});
    ASSERT_EQ(second.exitCode, 0) << second.errors;
    for (const std::string& json : {second.dumps.at(6), second.dumps.at(55)}) {
        EXPECT_EQ(jsonValue(json, "gravity"), "2");
        EXPECT_EQ(jsonValue(json, "playersSpeed"), "3");
        EXPECT_EQ(jsonValue(json, "aiLevel"), "3");
        EXPECT_EQ(jsonValue(json, "blood"), "9");
    }
    EXPECT_EQ(jsonValue(second.dumps.at(55), "screen"), "match");
}

// ---- Closing the window ---------------------------------------------------------------------------------

TEST_F(E2eFlows, ClosingTheWindowInAMatchSavesNothing) {
    const std::string prefs = crlfLines({"1", "7", "5", "1", "5", "1", "3", "0", "6", "6", "4", "1", "10"});
    std::vector<std::string> scoreLines = {"ZED", "5000"};
    for (int place = 2; place <= 20; ++place) {
        scoreLines.push_back("NOBODY");
        scoreLines.push_back("0");
    }
    const std::string scores = crlfLines(scoreLines);
    const std::string menuToMatch = "0 down SPACE\n4 up SPACE\n8 tap ENTER\n14 tap ENTER\n";

    // In the middle of the fight.
    writeBytes(path("prefs.tbt"), prefs);
    writeBytes(path("scores.txt"), scores);
    const e2e::RunnerResult fight =
        run(menuToMatch + "60 down RIGHT\n200 up RIGHT\n300 close\n", 9, 100000, {299, 301});
    EXPECT_EQ(fight.exitCode, 0) << fight.errors;
    ASSERT_TRUE(fight.dumps.count(299));
    EXPECT_EQ(jsonValue(fight.dumps.at(299), "screen"), "match");
    EXPECT_EQ(jsonValue(fight.dumps.at(299), "playersSpeed"), "7");
    EXPECT_FALSE(fight.dumps.count(301));  // the program ended at the close
    EXPECT_EQ(readBytes(path("prefs.tbt")), prefs);
    EXPECT_EQ(readBytes(path("scores.txt")), scores);

    // On the tally of a won level, with points not yet offered to the table.
    const e2e::RunnerResult tally =
        run(menuToMatch + "150 down 4\n150 down 1\n155 up 4\n155 up 1\n330 close\n", 9, 100000, {320});
    EXPECT_EQ(tally.exitCode, 0) << tally.errors;
    ASSERT_TRUE(tally.dumps.count(320));
    EXPECT_EQ(jsonValue(tally.dumps.at(320), "matchState"), "level completed");
    EXPECT_GT(jsonNumber(tally.dumps.at(320), "totalScore"), 0);
    EXPECT_EQ(readBytes(path("prefs.tbt")), prefs);
    EXPECT_EQ(readBytes(path("scores.txt")), scores);
}

}  // namespace
