// The high-score table: its sort, the file, qualifying, name entry and the displays.
#include "shell_test_support.h"

#include <sys/stat.h>

#include "game/keys.h"
#include "tests/fifo_with_writer.h"

using shelltest::crlfLines;
using shelltest::readBytes;
using shelltest::ShellTest;
using shelltest::writeBytes;

namespace {

ScoreTable table(const std::vector<std::pair<std::string, int64_t>>& rows) {
    ScoreTable entries;
    for (const auto& [name, score] : rows) entries.push_back(ScoreEntry{score, name});
    return entries;
}

std::string names(const ScoreTable& entries) {
    std::string joined;
    for (const ScoreEntry& entry : entries) joined += entry.name + std::to_string(entry.score) + " ";
    return joined;
}

std::string defaultFile() {
    std::vector<std::string> lines;
    for (int i = 0; i < 20; ++i) {
        lines.push_back("NOBODY");
        lines.push_back("0");
    }
    return crlfLines(lines);
}

}  // namespace

// ---- The ordering rule ------------------------------------------------------------------

TEST(FrontendScoreSort, CompareNeverReportsEquality) {
    EXPECT_EQ((ScoreEntry{5, "A"}.compare(ScoreEntry{3, "B"})), 1);
    EXPECT_EQ((ScoreEntry{3, "A"}.compare(ScoreEntry{5, "B"})), -1);
    EXPECT_EQ((ScoreEntry{5, "A"}.compare(ScoreEntry{5, "B"})), -1);
}

TEST(FrontendScoreSort, EqualScoresComeOutReversed) {
    ScoreTable entries = table({{"A", 7}, {"B", 7}, {"C", 7}});
    sortDescending(entries);
    EXPECT_EQ(names(entries), "C7 B7 A7 ");
}

TEST(FrontendScoreSort, SortingASortedTableReordersEqualScoresAndBack) {
    ScoreTable entries = table({{"A", 5}, {"B", 5}, {"C", 5}, {"D", 3}});
    sortDescending(entries);
    EXPECT_EQ(names(entries), "A5 C5 B5 D3 ");
    sortDescending(entries);
    EXPECT_EQ(names(entries), "A5 B5 C5 D3 ");
}

TEST(FrontendScoreSort, MixedScoresEndDescending) {
    ScoreTable entries = table({{"a", 3}, {"b", -4}, {"c", 90}, {"d", 0}, {"e", 12}, {"f", 90000000000}});
    sortDescending(entries);
    EXPECT_EQ(names(entries), "f90000000000 c90 e12 a3 d0 b-4 ");
    ScoreTable empty;
    sortDescending(empty);
    EXPECT_TRUE(empty.empty());
    ScoreTable one = table({{"x", 1}});
    sortDescending(one);
    EXPECT_EQ(names(one), "x1 ");
}

// ---- Characters a name may hold ---------------------------------------------------------

TEST(FrontendCharForKey, AllowsExactlyTheNinetyTwoCharacters) {
    const std::string allowed =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789!@#$%^&*()-_+=[]{}<>,.?/\\|:;'";
    ASSERT_EQ(allowed.size(), 92u);
    int count = 0;
    for (int c = -5; c < 300; ++c) {
        const std::string result = charForKey(c);
        const bool expected = c > 0 && c < 256 && allowed.find(static_cast<char>(c)) != std::string::npos;
        if (expected) {
            EXPECT_EQ(result, std::string(1, static_cast<char>(c))) << c;
            ++count;
        } else {
            EXPECT_EQ(result, "nope") << c;
        }
    }
    EXPECT_EQ(count, 92);
    EXPECT_EQ(charForKey('"'), "nope");
    EXPECT_EQ(charForKey('`'), "nope");
    EXPECT_EQ(charForKey('~'), "nope");
    EXPECT_EQ(charForKey(0), "nope");
}

// ---- The table and its file --------------------------------------------------------------

using FrontendScoreFile = ShellTest;

TEST_F(FrontendScoreFile, FreshStartWritesTwentyNobodies) {
    Game game;
    game.defaultHighScores();
    game.loadHighScores();
    ASSERT_EQ(game.highScores.size(), 20u);
    for (const ScoreEntry& entry : game.highScores) {
        EXPECT_EQ(entry.name, "NOBODY");
        EXPECT_EQ(entry.score, 0);
    }
    EXPECT_EQ(readBytes("scores.txt"), defaultFile());
}

TEST_F(FrontendScoreFile, TheTableIsMadeOnceHoweverOftenTheScoresAreLoadedAgain) {
    Game game;
    game.defaultHighScores();
    game.loadHighScores();
    game.highScores[0] = ScoreEntry{5, "MINE"};
    game.saveHighScores(game.highScores);
    // As an online series does once it is over: the player's own table again.
    game.defaultHighScores();
    game.loadHighScores();
    ASSERT_EQ(game.highScores.size(), 20u);
    EXPECT_EQ(game.highScores[0].name, "MINE");
}

TEST_F(FrontendScoreFile, SaveWritesNamesAndScoresInListOrder) {
    Game game;
    game.defaultHighScores();
    game.highScores[0] = ScoreEntry{-12, "low"};
    game.highScores[1] = ScoreEntry{9000000000123, "Big Name"};
    game.saveHighScores(game.highScores);
    std::string expected = crlfLines({"low", "-12", "Big Name", "9000000000123"});
    for (int i = 2; i < 20; ++i) expected += crlfLines({"NOBODY", "0"});
    EXPECT_EQ(readBytes("scores.txt"), expected);
    EXPECT_FALSE(std::filesystem::exists("scores.txt.tmp"));
}

TEST_F(FrontendScoreFile, LoadKeepsFileOrderCaseAndParsesNumbers) {
    writeBytes("scores.txt", crlfLines({"zed", "5", "Amy", "12abc", "bob", "junk", "  Sp ace ", " -7"}));
    Game game;
    game.defaultHighScores();
    game.loadHighScores();
    EXPECT_EQ(names(game.highScores).substr(0, 30), "zed5 Amy12 bob0   Sp ace -7 NO");
    EXPECT_EQ(game.highScores[4].name, "NOBODY");
    EXPECT_EQ(game.highScores[19].score, 0);
}

TEST_F(FrontendScoreFile, LineFeedOnlyReadsLikeCrLf) {
    writeBytes("scores.txt", "ann\n300\nbea\n200\n");
    Game lf;
    lf.defaultHighScores();
    lf.loadHighScores();
    writeBytes("scores.txt", "ann\r\n300\r\nbea\r\n200\r\n");
    Game crlf;
    crlf.defaultHighScores();
    crlf.loadHighScores();
    EXPECT_EQ(names(lf.highScores), names(crlf.highScores));
    EXPECT_EQ(lf.highScores[1].name, "bea");
    EXPECT_EQ(lf.highScores[1].score, 200);
}

TEST_F(FrontendScoreFile, OddLastLineSetsOnlyTheNextName) {
    writeBytes("scores.txt", "ann\r\n300\r\nbea");
    Game game;
    game.defaultHighScores();
    game.highScores[1].score = 77;
    game.loadHighScores();
    EXPECT_EQ(game.highScores[0].score, 300);
    EXPECT_EQ(game.highScores[1].name, "bea");
    EXPECT_EQ(game.highScores[1].score, 77);
    EXPECT_EQ(game.highScores[2].name, "NOBODY");
}

TEST_F(FrontendScoreFile, UnreadableFileLeavesTableAsItIs) {
    std::filesystem::create_directory("scores.txt");  // cannot be read or replaced
    Game game;
    game.defaultHighScores();
    game.highScores[3] = ScoreEntry{42, "KEEP"};
    game.loadHighScores();
    EXPECT_EQ(game.highScores[3].name, "KEEP");
    EXPECT_EQ(game.highScores[3].score, 42);
    EXPECT_TRUE(std::filesystem::is_directory("scores.txt"));
}

TEST_F(FrontendScoreFile, LoadedNamesKeepTheirFirst64Characters) {
    std::string longName(100000, 'n');
    longName.replace(0, 3, "Abc");
    writeBytes("scores.txt", crlfLines({longName, "7", "next", "5"}));
    Game game;
    game.defaultHighScores();
    game.loadHighScores();
    EXPECT_EQ(game.highScores[0].name, longName.substr(0, 64));
    EXPECT_EQ(game.highScores[0].score, 7);
    EXPECT_EQ(game.highScores[1].name, "next");
}

TEST_F(FrontendScoreFile, TwoCopiesOfTheGameKeepBothNewScores) {
    Game first, second;
    for (Game* game : {&first, &second}) {
        game->defaultHighScores();
        game->loadHighScores();
    }
    first.addHighScore("FIRST", 500);
    first.saveHighScores(first.highScores);
    second.addHighScore("SECOND", 300);
    second.saveHighScores(second.highScores);  // reads what the first saved meanwhile and keeps it
    std::string expected = crlfLines({"FIRST", "500", "SECOND", "300"});
    for (int i = 2; i < 20; ++i) expected += crlfLines({"NOBODY", "0"});
    EXPECT_EQ(readBytes("scores.txt"), expected);
    EXPECT_EQ(second.scoresOnDisk[0].name, "FIRST");
    EXPECT_EQ(second.highScores[0].name, "SECOND") << "the table the match played with stays its own";
    first.addHighScore("THIRD", 100);
    first.saveHighScores(first.highScores);
    const std::string top = crlfLines({"FIRST", "500", "SECOND", "300", "THIRD", "100"});
    EXPECT_EQ(readBytes("scores.txt").substr(0, top.size()), top);
}

TEST_F(FrontendScoreFile, FilesThatExistButCannotBeReadAreNotReplaced) {
    // A FIFO is not the score file, even with a table in it.
    const FifoWithWriter scores("scores.txt", crlfLines({"MALLORY", "999"}));
    ASSERT_EQ(mkfifo("prefs.tbt", 0644), 0);
    Game game;
    game.defaultHighScores();
    game.loadHighScores();
    game.resetOptions();
    game.loadPrefs();
    EXPECT_EQ(game.highScores[0].name, "NOBODY");
    EXPECT_EQ(game.playersSpeed, 4);
    EXPECT_TRUE(std::filesystem::is_fifo("scores.txt"));
    EXPECT_TRUE(std::filesystem::is_fifo("prefs.tbt"));
}

// ---- Qualifying, inserting, dropping -----------------------------------------------------

TEST(FrontendScoreTable, LowestScoreSortsFirst) {
    Game game;
    game.defaultHighScores();
    game.highScores[19].score = 50;
    game.highScores[0].score = -3;
    EXPECT_EQ(game.lowestHighScore(), -3);
    EXPECT_EQ(game.highScores[0].score, 50);
    game.highScores.pop_back();
    EXPECT_EQ(game.lowestHighScore(), 0);
}

TEST(FrontendScoreTable, NewScoreLandsInPlaceAndDropsTheLast) {
    Game game;
    game.defaultHighScores();
    game.addHighScore("X", 1);
    ASSERT_EQ(game.highScores.size(), 20u);
    EXPECT_EQ(game.highScores[0].name, "X");
    EXPECT_EQ(game.highScores[0].score, 1);
    int nobodies = 0;
    for (const ScoreEntry& entry : game.highScores) nobodies += entry.name == "NOBODY";
    EXPECT_EQ(nobodies, 19);
}

TEST(FrontendScoreTable, ScoreBelowTheTableComesAndGoes) {
    Game game;
    for (int i = 0; i < 20; ++i) game.highScores.push_back(ScoreEntry{100 - i, "P" + std::to_string(i)});
    // Equal to the 20th: does not qualify.
    EXPECT_EQ(game.lowestHighScore(), 81);
    game.addHighScore("LATE", 81);
    ASSERT_EQ(game.highScores.size(), 20u);
    EXPECT_EQ(game.highScores[18].name, "P18");
    EXPECT_EQ(game.highScores[19].score, 81);
    game.addHighScore("LOW", 5);
    for (const ScoreEntry& entry : game.highScores) EXPECT_NE(entry.name, "LOW");
    game.addHighScore("MID", 90);
    EXPECT_EQ(game.highScores[10].name, "MID");
    EXPECT_EQ(game.highScores[19].score, 82);
}

// ---- Name entry ----------------------------------------------------------------------------

using FrontendNameEntry = ShellTest;

// Characters typed since the frame before, as a frame's input record brings them.
void type(Game& game, const std::string& text) {
    InputRecord input;
    input.typed = text;
    game.takeFrameInput(input);
}

TEST_F(FrontendNameEntry, TypedCharactersBecomeAnUpperCaseName) {
    Game game;
    type(game, "ab c");
    for (int frame = 3; frame < 7; ++frame) game.nameEntryStep(frame);
    EXPECT_EQ(game.playerName, "AB C");
    EXPECT_EQ(game.nameCursor, 5);
    EXPECT_EQ(game.nameChars[1], "a");  // kept as typed; only the name is upper case
}

TEST_F(FrontendNameEntry, OneCharacterPerFrame) {
    Game game;
    type(game, "xyz");
    game.nameEntryStep(10);
    EXPECT_EQ(game.playerName, "X");
    game.nameEntryStep(11);
    EXPECT_EQ(game.playerName, "XY");
}

TEST_F(FrontendNameEntry, FirstThreeFramesDiscardWhatWasTyped) {
    Game game;
    for (int frame = 0; frame <= 2; ++frame) {
        type(game, "q");
        game.nameEntryStep(frame);
        EXPECT_EQ(game.playerName, "");
    }
    type(game, "r");
    game.nameEntryStep(3);
    EXPECT_EQ(game.playerName, "R");
}

TEST_F(FrontendNameEntry, BackspaceAndDeleteDropTheLastCharacter) {
    Game game;
    game.nameEntryStep(5);  // nothing typed: nothing happens
    type(game, "\b");
    game.nameEntryStep(5);  // backspace on an empty name
    EXPECT_EQ(game.nameCursor, 1);
    type(game, "ab\b");
    for (int i = 0; i < 3; ++i) game.nameEntryStep(5);
    EXPECT_EQ(game.playerName, "A");
    type(game, std::string("c") + static_cast<char>(key::Delete));
    for (int i = 0; i < 2; ++i) game.nameEntryStep(5);
    EXPECT_EQ(game.playerName, "A");
    EXPECT_EQ(game.nameCursor, 2);
}

TEST_F(FrontendNameEntry, FifteenCharactersAtMostAndRefusedMarks) {
    Game game;
    type(game, "\"~`abcdefghijklmnopq");
    for (int i = 0; i < 20; ++i) game.nameEntryStep(5);
    EXPECT_EQ(game.playerName, "ABCDEFGHIJKLMNO");
    EXPECT_EQ(game.nameCursor, 16);
    type(game, "\bz");
    game.nameEntryStep(5);
    game.nameEntryStep(5);
    EXPECT_EQ(game.playerName, "ABCDEFGHIJKLMNZ");
}

TEST_F(FrontendNameEntry, NameSurvivesForTheNextGame) {
    Game game;
    type(game, "jo");
    game.nameEntryStep(3);
    game.nameEntryStep(4);
    type(game, "e");
    game.nameEntryStep(0);  // a new game-over screen drains but keeps the name
    EXPECT_EQ(game.playerName, "JO");
    game.nameEntryStep(3);
    EXPECT_EQ(game.playerName, "JO");
    type(game, "e");
    game.nameEntryStep(3);
    EXPECT_EQ(game.playerName, "JOE");
}

// ---- The displays ----------------------------------------------------------------------------

using FrontendScoreDisplay = ShellTest;

TEST_F(FrontendScoreDisplay, RowsComeUpFiveFramesApartInTheTitleColour) {
    Game game;
    game.defaultHighScores();
    game.highScores[0] = ScoreEntry{123456, "first"};
    game.highScores[9] = ScoreEntry{77, "TENTH"};
    // A still title colour: steps of 0 between the turning points keep it where it is.
    game.palette[1] = {0, 11, 22, 33};
    game.paletteStep[1] = {0, 0, 0, 0};

    FrameEvents events;
    auto draw = [&](int t) {
        Flip(-1);  // a new frame: only this drawing is recorded
        events.clear();
        game.highScoresScreen(t, events);
        game.drawEndScreens(events);
        return textsDrawn();
    };
    EXPECT_TRUE(draw(0).empty());

    auto calls = draw(1);
    ASSERT_EQ(calls.size(), 1u);
    const int titleWidth = static_cast<int>(static_cast<float>(TextWidth("HIGH SCORES")) * 0.525f);
    EXPECT_EQ(calls[0].text, "HIGH SCORES");
    EXPECT_EQ(calls[0].x, static_cast<float>((1024 - titleWidth) / 2));
    EXPECT_EQ(calls[0].y, 20);
    EXPECT_FLOAT_EQ(calls[0].scaleX, 0.525f);
    EXPECT_EQ(calls[0].r, game.palette[1][1]);
    EXPECT_EQ(calls[0].g, game.palette[1][2]);
    EXPECT_EQ(calls[0].b, game.palette[1][3]);

    EXPECT_EQ(draw(5).size(), 1u);
    calls = draw(6);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1].text, "1 : first");
    EXPECT_EQ(calls[1].x, 270);
    EXPECT_EQ(calls[1].y, 130);
    EXPECT_FLOAT_EQ(calls[1].scaleX, 0.15f);
    EXPECT_EQ(calls[2].text, "123456");
    EXPECT_EQ(calls[2].x, static_cast<float>(754 - static_cast<int>(static_cast<float>(TextWidth("123456")) * 0.15f)));
    EXPECT_EQ(calls[2].y, 130);
    EXPECT_EQ(calls[2].r, game.palette[1][1]);

    calls = draw(51);
    ASSERT_EQ(calls.size(), 21u);
    EXPECT_EQ(calls[17].text, "9 : NOBODY");
    EXPECT_EQ(calls[19].text, "10: TENTH");
    EXPECT_EQ(calls[19].y, 400);

    calls = draw(101);
    ASSERT_EQ(calls.size(), 41u);
    EXPECT_EQ(calls[39].text, "20: NOBODY");
    EXPECT_EQ(calls[39].y, 700);
    EXPECT_EQ(calls[40].text, "0");
}

TEST_F(FrontendScoreDisplay, TheTableInsideTheMatchStepsThePaletteOnce) {
    Game reference;
    Game game;
    for (auto& row : reference.paletteStep) row.fill(2.0f);
    for (auto& row : game.paletteStep) row.fill(2.0f);
    game.defaultHighScores();
    SeedRnd(99);
    reference.animatePalette();
    SeedRnd(99);
    FrameEvents events;
    game.highScoresScreen(3, events);
    EXPECT_EQ(game.palette, reference.palette);
    EXPECT_EQ(game.paletteStep, reference.paletteStep);
}

TEST_F(FrontendScoreDisplay, ScreenDrainsCountsFromOneAndLeavesOnAKey) {
    Game game;
    game.defaultHighScores();
    headless::pressKey(13);  // pressed before the screen opened: must not count
    headless::releaseKey(13);
    std::vector<std::size_t> textCounts;
    limitFrames(40, [&](int) { textCounts.push_back(textsPresented().size()); });
    tap(12, 32);
    game.showHighScores();
    EXPECT_EQ(game.screen, "scores");
    // Space goes down after the 12th frame, whose key test sees it.
    ASSERT_EQ(textCounts.size(), 12u);
    EXPECT_EQ(textCounts[0], 1u);   // t = 1: the title
    EXPECT_EQ(textCounts[4], 1u);   // t = 5
    EXPECT_EQ(textCounts[5], 3u);   // t = 6: place 1
    EXPECT_EQ(textCounts[10], 5u);  // t = 11: place 2
}

TEST_F(FrontendScoreDisplay, EscAndEnterLeaveToo) {
    for (int code : {27, 13}) {
        Game game;
        game.defaultHighScores();
        int frames = 0;
        limitFrames(1000 + headless::presentedFrames(), [&](int) { ++frames; });
        tap(headless::presentedFrames() + 2, code);
        game.showHighScores();
        EXPECT_EQ(frames, 2) << code;
    }
}
