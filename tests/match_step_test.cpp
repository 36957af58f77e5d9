// The match as a pure step: however its frames are run (shown by the presentation,
// unseen as a rollback or a fast-forward runs them), from any state of the match the
// same input records lead to the same state, bit for bit; and what the player sees,
// hears or saves is left to the driver's observers.

#include <algorithm>
#include <functional>

#include "game/fingerprint.h"
#include "game/frame_driver.h"
#include "game/match_presentation.h"
#include "game/snapshot.h"
#include "replay/replay_file.h"
#include "replay/replay_folder.h"
#include "replay/replay_player.h"
#include "replay/replay_recorder.h"
#include "tests/match_test_support.h"
#include "tests/shell_test_support.h"

namespace {

using matchtest::MatchTest;
using Bytes = std::vector<uint8_t>;
using Keys = std::function<InputRecord(int frame)>;

InputRecord holding(uint16_t keys, const std::string& typed = "") {
    InputRecord input;
    input.held = input.heldAfterPause = keys;
    input.typed = typed;
    return input;
}

// `frames` frames of the given keys, each shown or each unseen.
class ScriptedFrames : public FrameSource {
public:
    ScriptedFrames(Keys keys, int frames, bool shown) : keys_(std::move(keys)), frames_(frames), shown_(shown) {}
    bool finished(const MatchState&) const override { return frame_ >= frames_; }
    void tick(FrameDriver& driver) override { driver.step(keys_(frame_++), shown_); }

private:
    Keys keys_;
    int frames_;
    bool shown_;
    int frame_ = 0;
};

class MatchStep : public MatchTest {
protected:
    // From the game's state now, `frames` frames shown (drawn, heard, frozen and paced
    // as a local match is) and the same frames unseen end in the same state.
    void expectShownAndUnseenAlike(const Keys& keys, int frames) {
        const MatchState start = game;
        ScriptedFrames shownFrames(keys, frames, true);
        FrameDriver shownDriver(game, shownFrames);
        MatchPresentation presentation(game, MatchPresentation::Pacing::HoldsTheGame);
        shownDriver.observe(presentation);
        shownDriver.run();
        const Bytes shown = saveSnapshot(game);
        const std::string finalState = game.matchState;

        static_cast<MatchState&>(game) = start;
        ScriptedFrames unseenFrames(keys, frames, false);
        FrameDriver unseenDriver(game, unseenFrames);
        unseenDriver.run();
        EXPECT_EQ(saveSnapshot(game), shown) << "after " << frames << " frames, in state " << finalState;
        static_cast<MatchState&>(game) = start;
    }

    // A table whose scores tie in pairs under different names: every sort swaps them.
    void tiedTable() {
        game.highScores.clear();
        for (int i = 0; i < 20; ++i) game.highScores.push_back({1000 - 100 * (i / 2), std::string(1, char('A' + i))});
    }
};

TEST_F(MatchStep, ShownAndUnseenFramesLeadToTheSameStateInEveryStateOfTheMatch) {
    matchtest::ScopedTempFolder folder;
    game.soundVolume = 6;
    game.slowMotion = 5;
    const Keys pushing = [](int frame) { return holding(frame / 20 % 2 ? KeyP1Right | KeyP2Up : KeyP1Left); };

    // A six-fighter fight: blows, blood, sparks, slow motion.
    setUpMatch("2coop", 9);
    expectShownAndUnseenAlike(pushing, 300);

    // A campaign won: the result, the tally and its Enter.
    setUpMatch("1", 3);
    game.frameCounter = 150;
    expectShownAndUnseenAlike([](int frame) { return holding(frame < 2 ? KeyDigit4 | KeyDigit1 : frame > 300 ? KeyEnter : 0); },
                              330);

    // Level 20 won: the tally and the game over come on the same frame.
    setUpMatch("1", 20);
    game.frameCounter = 150;
    game.totalScore = 5000;
    tiedTable();
    expectShownAndUnseenAlike([](int frame) { return holding(frame < 2 ? KeyDigit4 | KeyDigit1 : frame > 250 ? KeyEnter : 0); },
                              280);

    // A campaign lost over a table of tied scores: game over sorts it every frame while
    // a name is typed; Enter takes it into the table, then leaves the table.
    setUpMatch("1", 4);
    game.frameCounter = 150;
    game.totalScore = 750;
    tiedTable();
    game.fighters[1].energy = 0;
    const Keys naming = [](int frame) {
        if (frame == 130) return holding(0, "ace");
        return holding(frame >= 200 && frame < 206 ? KeyEnter : frame > 260 ? KeySpace : 0);
    };
    expectShownAndUnseenAlike(naming, 300);

    // A versus bout decided by a double knock-out, then the series' next bout.
    setUpMatch("2vs", 1);
    game.frameCounter = 150;
    game.fighters[1].energy = game.fighters[2].energy = 0;
    expectShownAndUnseenAlike([](int frame) { return holding(frame > 40 ? KeySpace : 0); }, 60);
}

// The table a live match made is the one its replay makes, although another copy of the
// game saved a score meanwhile: that score joins the file and, once the match is over,
// the table the game shows, never the match's own.
TEST_F(MatchStep, ALiveMatchAndItsReplayEndWithTheSameTableWhileTheFileKeepsBoth) {
    matchtest::ScopedTempFolder folder;
    game.defaultHighScores();
    game.loadHighScores();
    tiedTable();
    game.gameMode = "1";
    game.level = 20;
    ReplayKeeper replays(ReplayFolderName);
    game.matchObservers.push_back(&replays);
    ScoreTable liveTable;
    // The last level won with 4 and 1, its tally left with Enter into the game over, a
    // name typed and entered, the table left with Space.
    const std::vector<std::pair<int, std::function<void()>>> script = {
        {2, [] { headless::pressKey('4'), headless::pressKey('1'); }},
        {5, [] { headless::releaseKey('4'), headless::releaseKey('1'); }},
        {120, [] { headless::pressKey(13); }},
        {125, [] { headless::releaseKey(13); }},
        {150, [] { headless::typeText("me"); }},
        {180, [] { headless::pressKey(13); }},
        {185, [] { headless::releaseKey(13); }},
        {220, [] { headless::pressKey(32); }},
    };
    headless::setFrameHook([&](int presented) {
        for (const auto& [frame, act] : script)
            if (frame == presented) act();
        if (presented == 10) {
            // Another copy of the game, playing meanwhile, saves its own new score.
            shelltest::writeBytes("scores.txt", shelltest::crlfLines({"OTHER", "900"}) + shelltest::readBytes("scores.txt"));
        }
        liveTable = game.highScores;
    });
    game.playMatch();
    headless::setFrameHook(nullptr);
    ASSERT_EQ(game.matchState, "end");

    const std::string saved = newestReplayIn(ReplayFolderName);
    ASSERT_FALSE(saved.empty());
    const ReplayResult read = readReplayFile(saved, simulationFingerprint());
    ASSERT_TRUE(read.error.empty()) << read.error;
    MatchState replayed;
    ReplayPlayback playback;
    ASSERT_TRUE(playback.begin(replayed, read.replay));
    FrameEvents events;
    while (!playback.finished()) replayed.stepMatch(playback.next(), events);
    const auto holds = [](const ScoreTable& table, const std::string& name) {
        return std::any_of(table.begin(), table.end(), [&](const ScoreEntry& entry) { return entry.name == name; });
    };
    EXPECT_EQ(replayed.highScores, liveTable);
    EXPECT_TRUE(holds(liveTable, "ME"));
    EXPECT_FALSE(holds(liveTable, "OTHER")) << "the match's own table is the one it simulated";
    EXPECT_TRUE(holds(game.highScores, "OTHER")) << "after the match the game shows the file's";
    EXPECT_TRUE(holds(game.highScores, "ME"));
    EXPECT_NE(shelltest::readBytes("scores.txt").find("OTHER\r\n900\r\n"), std::string::npos);
}

}  // namespace
