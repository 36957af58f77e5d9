// The options: defaults, the preferences file byte for byte, and the options screen.
#include "shell_test_support.h"

#include "frontend/option_table.h"
#include "game/keys.h"

using shelltest::crlfLines;
using shelltest::FrameLimit;
using shelltest::readBytes;
using shelltest::ShellTest;
using shelltest::writeBytes;

namespace {

const std::string DefaultPrefs = crlfLines({"1", "4", "5", "1", "5", "1", "3", "0", "6", "6", "1", "1", "10"});

struct Snapshot {
    int selection, gravity, playersSpeed, aiLevel, plasmaEffects, blood, flexibility;
    std::vector<headless::DrawCall> texts;
};

void expectDefaults(const Game& game) {
    EXPECT_EQ(game.prefsHeader, 1);
    EXPECT_EQ(game.playersSpeed, 4);
    EXPECT_EQ(game.flexibility, 5);
    EXPECT_EQ(game.spareOption, 1);
    EXPECT_EQ(game.blowPower, 5);
    EXPECT_EQ(game.plasmaEffects, 1);
    EXPECT_EQ(game.slowMotion, 3);
    EXPECT_EQ(game.fullscreen, 0);
    EXPECT_EQ(game.soundVolume, 6);
    EXPECT_EQ(game.musicVolume, 6);
    EXPECT_EQ(game.gravity, 1);
    EXPECT_EQ(game.aiLevel, 1);
    EXPECT_EQ(game.blood, 10);
}

}  // namespace

// ---- Defaults and the file -------------------------------------------------------------------

using FrontendPrefsFile = ShellTest;

TEST_F(FrontendPrefsFile, DefaultsAreTheTable) {
    Game game;
    game.resetOptions();
    expectDefaults(game);
    EXPECT_FALSE(std::filesystem::exists("prefs.tbt"));  // setting defaults writes nothing
}

TEST_F(FrontendPrefsFile, FreshStartWritesTheDefaultFile) {
    Game game;
    game.resetOptions();
    game.loadPrefs();
    expectDefaults(game);
    EXPECT_EQ(readBytes("prefs.tbt"), DefaultPrefs);
    EXPECT_FALSE(std::filesystem::exists("prefs.tbt.tmp"));
}

TEST_F(FrontendPrefsFile, SaveWritesFileOrderWithCrLf) {
    Game game;
    game.resetOptions();
    game.prefsHeader = -20;
    game.playersSpeed = 10;
    game.blood = 30;
    game.musicVolume = 0;
    game.savePrefs();
    EXPECT_EQ(readBytes("prefs.tbt"), crlfLines({"-20", "10", "5", "1", "5", "1", "3", "0", "6", "0", "1", "1", "30"}));
}

TEST_F(FrontendPrefsFile, ShortFileKeepsTheRestAndIsNotRewritten) {
    writeBytes("prefs.tbt", crlfLines({"2", "7"}));
    Game game;
    game.resetOptions();
    game.loadPrefs();
    EXPECT_EQ(game.prefsHeader, 2);
    EXPECT_EQ(game.playersSpeed, 7);
    EXPECT_EQ(game.flexibility, 5);
    EXPECT_EQ(game.blood, 10);
    EXPECT_EQ(readBytes("prefs.tbt"), crlfLines({"2", "7"}));
}

TEST_F(FrontendPrefsFile, NumbersAreReadLikeTheGameAlwaysDid) {
    // header "-3", speed " 12abc" (clamped to 10), flexibility "$A", spare "abc" (0 -> 1),
    // blowPower "%101", and extra lines that are ignored.
    writeBytes("prefs.tbt", crlfLines({"-3", " 12abc", "$A", "abc", "%101", "0", "7", "1", "2", "3", "4", "5", "6", "99", "x"}));
    Game game;
    game.resetOptions();
    game.loadPrefs();
    EXPECT_EQ(game.prefsHeader, -3);
    EXPECT_EQ(game.playersSpeed, 10);
    EXPECT_EQ(game.flexibility, 10);
    EXPECT_EQ(game.spareOption, 1);
    EXPECT_EQ(game.blowPower, 5);
    EXPECT_EQ(game.plasmaEffects, 0);
    EXPECT_EQ(game.slowMotion, 7);
    EXPECT_EQ(game.fullscreen, 1);
    EXPECT_EQ(game.soundVolume, 2);
    EXPECT_EQ(game.musicVolume, 3);
    EXPECT_EQ(game.gravity, 4);
    EXPECT_EQ(game.aiLevel, 5);
    EXPECT_EQ(game.blood, 6);
}

TEST_F(FrontendPrefsFile, LineFeedOnlyReadsLikeCrLf) {
    writeBytes("prefs.tbt", "1\n3\n9\n2\n4\n0\n5\n0\n7\n8\n2\n3\n20\n");
    Game lf;
    lf.resetOptions();
    lf.loadPrefs();
    writeBytes("prefs.tbt", crlfLines({"1", "3", "9", "2", "4", "0", "5", "0", "7", "8", "2", "3", "20"}));
    Game crlf;
    crlf.resetOptions();
    crlf.loadPrefs();
    for (const StoredOption& option : storedOptions) {
        EXPECT_EQ(lf.*option.field, crlf.*option.field) << option.name;
    }
    EXPECT_EQ(lf.flexibility, 9);
    EXPECT_EQ(lf.blood, 20);
}

TEST_F(FrontendPrefsFile, OutOfRangeValuesAreClampedOnLoad) {
    // A flexibility of 0 would divide by zero in the joint solver.
    writeBytes("prefs.tbt", crlfLines({"500", "0", "0", "9", "11", "2", "-1", "5", "11", "-4", "99", "0", "31"}));
    Game game;
    game.resetOptions();
    game.loadPrefs();
    EXPECT_EQ(game.prefsHeader, 500);  // has no range
    EXPECT_EQ(game.playersSpeed, 1);
    EXPECT_EQ(game.flexibility, 1);
    EXPECT_EQ(game.spareOption, 7);
    EXPECT_EQ(game.blowPower, 10);
    EXPECT_EQ(game.plasmaEffects, 1);
    EXPECT_EQ(game.slowMotion, 0);
    EXPECT_EQ(game.fullscreen, 1);
    EXPECT_EQ(game.soundVolume, 10);
    EXPECT_EQ(game.musicVolume, 0);
    EXPECT_EQ(game.gravity, 10);
    EXPECT_EQ(game.aiLevel, 1);
    EXPECT_EQ(game.blood, 30);
}

TEST_F(FrontendPrefsFile, UnreadableFileLeavesValuesAsTheyAre) {
    std::filesystem::create_directory("prefs.tbt");
    Game game;
    game.resetOptions();
    game.gravity = 7;
    game.loadPrefs();
    EXPECT_EQ(game.gravity, 7);
    EXPECT_EQ(game.playersSpeed, 4);
}

// ---- The options screen ---------------------------------------------------------------------

class FrontendOptionsScreen : public ShellTest {
protected:
    // Runs the screen until it leaves (or `maxFrames`), keeping a snapshot per frame.
    bool runScreen(Game& game, int maxFrames) {
        snapshots.clear();
        limitFrames(maxFrames, [&](int) {
            snapshots.push_back({game.selection, game.gravity, game.playersSpeed, game.aiLevel,
                                 game.plasmaEffects, game.blood, game.flexibility, textsPresented()});
        });
        try {
            game.optionsScreen();
        } catch (const FrameLimit&) {
            return false;
        }
        return true;
    }
    std::vector<Snapshot> snapshots;
};

TEST_F(FrontendOptionsScreen, RowsShowLabelsValuesAndTheSelection) {
    Game game;
    game.resetOptions();
    game.palette[2] = {0, 200, 150, 100};
    game.paletteStep[2] = {0, 0, 0, 0};
    EXPECT_FALSE(runScreen(game, 1));
    const auto& texts = snapshots.at(0).texts;
    ASSERT_EQ(texts.size(), 13u);
    EXPECT_EQ(texts[0].text, "TUMBLEBOUT");
    EXPECT_EQ(texts[0].y, 20);
    EXPECT_FLOAT_EQ(texts[0].scaleX, 0.6075f);
    EXPECT_EQ(texts[0].x, (1024 - static_cast<float>(TextWidth("TUMBLEBOUT")) * 0.6075f) / 2);
    const std::vector<std::string> rows = {
        "GRAVITY  1", "PLAYERS SPEED  4", "FLEXIBILITY  5", "BLOWPOWER  5", "AI LEVEL  1",
        "SLOW MOTION  3", "BLOOD  10", "PLASMA EFFECTS  1", "FULLSCREEN  0  [AT RESTART]",
        "SOUNDS VOLUME  6", "MUSIC VOLUME  6", "RESET OPTIONS"};
    for (int k = 1; k <= 12; ++k) {
        const headless::DrawCall& row = texts[k];
        EXPECT_EQ(row.text, rows[k - 1]);
        EXPECT_EQ(row.y, 170 + 40 * k);
        EXPECT_FLOAT_EQ(row.scaleX, 0.1875f);
        EXPECT_EQ(row.x, (1024 - static_cast<float>(TextWidth(rows[k - 1])) * 0.1875f) / 2);
        const int expectedRed = k == 1 ? 200 : 100;
        EXPECT_EQ(row.r, expectedRed) << k;
        EXPECT_EQ(row.g, k == 1 ? 150 : 100) << k;
    }
    EXPECT_EQ(game.screen, "options");
}

TEST_F(FrontendOptionsScreen, LeftAndRightStepWithinTheRanges) {
    Game game;
    game.resetOptions();
    tap(1, key::Right);        // gravity 1 -> 2 (seen in frame 2)
    tap(3, key::Down);         // players speed
    tap(5, key::Down);         // flexibility
    for (int f = 7; f < 7 + 2 * 17; f += 2) tap(f, key::Right);  // 5 + 17 -> 20 at most
    tap(41, key::Down);        // blow power
    tap(43, key::Down);        // ai level
    tap(45, key::Left);        // stays 1
    tap(47, key::Up);          // back to blow power ...
    tap(49, key::Down);        // ... and down again
    tap(51, key::Left);
    EXPECT_FALSE(runScreen(game, 55));
    EXPECT_EQ(snapshots[0].gravity, 1);
    EXPECT_EQ(snapshots[1].gravity, 2);
    EXPECT_EQ(snapshots[3].selection, 2);
    EXPECT_EQ(snapshots[5].selection, 3);
    EXPECT_EQ(snapshots[40].flexibility, 20);
    EXPECT_EQ(snapshots[43].selection, 5);
    EXPECT_EQ(snapshots[46].aiLevel, 1);
    EXPECT_EQ(snapshots[47].selection, 4);
    EXPECT_EQ(snapshots[49].selection, 5);
    EXPECT_EQ(game.aiLevel, 1);
    EXPECT_EQ(game.gravity, 2);
    EXPECT_EQ(game.playersSpeed, 4);
}

TEST_F(FrontendOptionsScreen, PlasmaStopsAtOneBloodAtThirtyAndBothKeysCancel) {
    Game game;
    game.resetOptions();
    game.blood = 29;
    for (int i = 0; i < 6; ++i) tap(1 + 2 * i, key::Down);  // row 7, BLOOD
    tap(13, key::Right);
    tap(15, key::Right);
    tap(17, key::Down);                                      // row 8, PLASMA EFFECTS
    tap(19, key::Right);
    tap(21, key::Left);
    headless::schedule({21, headless::EventKind::Down, key::Right, ""});  // with Left: no change
    EXPECT_FALSE(runScreen(game, 25));
    EXPECT_EQ(snapshots[14].blood, 30);
    EXPECT_EQ(snapshots[16].blood, 30);
    EXPECT_EQ(snapshots[19].plasmaEffects, 1);
    EXPECT_EQ(snapshots[21].plasmaEffects, 1);
    EXPECT_EQ(game.selection, 8);
}

TEST_F(FrontendOptionsScreen, SelectionWrapsAroundBothEnds) {
    Game game;
    game.resetOptions();
    tap(1, key::Up);
    tap(3, key::Down);
    headless::schedule({5, headless::EventKind::Down, key::Up, ""});
    headless::schedule({5, headless::EventKind::Down, key::Down, ""});
    EXPECT_FALSE(runScreen(game, 8));
    EXPECT_EQ(snapshots[1].selection, 12);
    EXPECT_EQ(snapshots[3].selection, 1);
    EXPECT_EQ(snapshots[5].selection, 1);  // Up and Down together
}

TEST_F(FrontendOptionsScreen, OutOfRangeValueShowsForOneFrameThenClamps) {
    Game game;
    game.resetOptions();
    game.gravity = 99;  // in memory, as a match could have left it
    EXPECT_FALSE(runScreen(game, 2));
    EXPECT_EQ(snapshots[0].texts.at(1).text, "GRAVITY  99");
    EXPECT_EQ(snapshots[0].gravity, 10);
    EXPECT_EQ(snapshots[1].texts.at(1).text, "GRAVITY  10");
}

TEST_F(FrontendOptionsScreen, ResetOptionsWhileHeldAndStays) {
    Game game;
    game.resetOptions();
    game.gravity = 8;
    game.blood = 0;
    tap(1, key::Up);                                                    // RESET OPTIONS
    headless::schedule({3, headless::EventKind::Down, key::Enter, ""});  // held from frame 4
    headless::schedule({6, headless::EventKind::Up, key::Enter, ""});
    tap(8, key::Right);
    tap(10, key::Down);                                                 // GRAVITY: the old press is spent
    tap(12, key::Right);
    EXPECT_FALSE(runScreen(game, 16));
    EXPECT_EQ(snapshots[2].gravity, 8);
    EXPECT_EQ(snapshots[3].gravity, 1);
    EXPECT_EQ(snapshots[3].blood, 10);
    EXPECT_EQ(snapshots[5].selection, 12);
    EXPECT_EQ(snapshots[10].selection, 1);
    EXPECT_EQ(snapshots[12].gravity, 2);
    EXPECT_EQ(game.gravity, 2);
    EXPECT_FALSE(std::filesystem::exists("prefs.tbt"));  // still on the screen
}

TEST_F(FrontendOptionsScreen, HeldResetKeepsRestoringDefaults) {
    Game game;
    game.resetOptions();
    tap(1, key::Up);
    hold(3, key::Space);
    headless::schedule({8, headless::EventKind::Up, key::Space, ""});
    int whileHeld = 0;
    int afterRelease = 0;
    limitFrames(11, [&](int frame) {
        if (frame == 6 || frame == 9) game.gravity = 5;
        if (frame == 7) whileHeld = game.gravity;
        if (frame == 10) afterRelease = game.gravity;
    });
    EXPECT_THROW(game.optionsScreen(), FrameLimit);
    EXPECT_EQ(whileHeld, 1);
    EXPECT_EQ(afterRelease, 5);
    EXPECT_EQ(game.selection, 12);
}

TEST_F(FrontendOptionsScreen, EnterOnARowLeavesAndSaves) {
    Game game;
    game.resetOptions();
    tap(1, key::Right);
    tap(3, key::Enter);
    EXPECT_TRUE(runScreen(game, 30));
    EXPECT_EQ(snapshots.size(), 3u);
    EXPECT_EQ(readBytes("prefs.tbt"), crlfLines({"1", "4", "5", "1", "5", "1", "3", "0", "6", "6", "2", "1", "10"}));
}

TEST_F(FrontendOptionsScreen, EscLeavesAndSavesClampedValues) {
    Game game;
    game.resetOptions();
    game.blood = 99;
    game.spareOption = 0;
    tap(2, key::Esc);
    EXPECT_TRUE(runScreen(game, 30));
    EXPECT_EQ(snapshots.size(), 2u);
    EXPECT_EQ(readBytes("prefs.tbt"), crlfLines({"1", "4", "5", "1", "5", "1", "3", "0", "6", "6", "1", "1", "30"}));
}

TEST_F(FrontendOptionsScreen, PressMadeBeforeTheScreenDoesNotLeaveIt) {
    Game game;
    game.resetOptions();
    headless::pressKey(key::Enter);
    headless::releaseKey(key::Enter);
    headless::pressKey(key::Right);
    headless::releaseKey(key::Right);
    EXPECT_FALSE(runScreen(game, 5));
    EXPECT_EQ(game.gravity, 1);
}
