// The same start time and the same script give the same game: state dumps compared at
// every frame of two in-process runs, and at chosen frames of two runs of the
// tumblebout-headless program.

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>

#include "game/Game.h"
#include "tests/e2e_support.h"
#include "tools/headless/input_script.h"
#include "tools/headless/state_dump.h"
#include "tools/soak/scripted_game.h"

namespace {

// From start-up: a versus bout and then a co-operative level, both players holding
// changing sets of keys (a fixed pattern, so the script is the same every time).
std::string fightingScript() {
    std::string script =
        "0 down SPACE\n4 up SPACE\n8 tap ENTER\n14 tap DOWN\n16 tap ENTER  # 2 PLAYERS VS\n";
    const char* const keys[] = {"LEFT", "UP", "RIGHT", "DOWN", "A", "W", "D", "S"};
    unsigned pattern = 12345;
    auto holdPattern = [&](int from, int to) {
        int held = 0;
        for (int frame = from; frame < to; frame += 23) {
            pattern = pattern * 1103515245u + 12345u;
            const int next = static_cast<int>(pattern >> 16) & 0xFF;
            for (int bit = 0; bit < 8; ++bit) {
                if (((held ^ next) >> bit & 1) == 0) continue;
                script += std::to_string(frame) + ((next >> bit & 1) ? " down " : " up ") + keys[bit] + "\n";
            }
            held = next;
        }
        for (int bit = 0; bit < 8; ++bit)
            if (held >> bit & 1) script += std::to_string(to) + " up " + keys[bit] + "\n";
    };
    holdPattern(20, 1200);
    script += "1210 down ESC\n1212 up ESC      # back to the main menu\n";
    script += "1220 tap ENTER\n1225 tap DOWN\n1227 tap DOWN\n1229 tap ENTER  # 2 PLAYERS CO-OP\n";
    holdPattern(1240, 2400);
    return script;
}

// A hash of the full state dump after every presented frame, and the screens seen.
struct Trace {
    std::vector<std::size_t> hashes;
    std::set<std::string> screensAndModes;
    float movedPlayerTwo = 0;  // how far player 2's head went, so the keys are known to act
};

Trace traceRun(int startMs, int frames) {
    ScriptedGame run{TUMBLEBOUT_BUILD_DIR, startMs, parseInputScript(fightingScript()).events};
    Trace trace;
    float firstX = 0;
    bool haveFirst = false;
    playScripted(run, [&](const Game& game, int frame) {
        trace.hashes.push_back(std::hash<std::string>{}(stateJson(game, frame)));
        trace.screensAndModes.insert(game.screen + " " + game.gameMode);
        if (game.screen == "match" && game.fighterCount >= 2 && game.frameCounter > 120) {
            const float x = game.fighters[2].nodes[16].x;
            if (!haveFirst) firstX = x;
            haveFirst = true;
            trace.movedPlayerTwo = std::max(trace.movedPlayerTwo, std::abs(x - firstX));
        }
        return frame < frames;
    });
    return trace;
}

TEST(E2eDeterminism, TheSameStartAndScriptGiveTheSameStateAtEveryFrame) {
    const shelltest::fs::path previous = shelltest::fs::current_path();
    const shelltest::fs::path folder = shelltest::makeTempFolder("determinism");
    shelltest::fs::current_path(folder);
    const Trace first = traceRun(2024, 2400);
    shelltest::fs::remove(folder / "prefs.tbt");
    shelltest::fs::remove(folder / "scores.txt");
    const Trace second = traceRun(2024, 2400);
    const Trace other = traceRun(2025, 300);
    shelltest::fs::current_path(previous);
    shelltest::fs::remove_all(folder);

    ASSERT_EQ(first.hashes.size(), 2400u);
    ASSERT_EQ(second.hashes.size(), first.hashes.size());
    for (std::size_t frame = 0; frame < first.hashes.size(); ++frame)
        ASSERT_EQ(first.hashes[frame], second.hashes[frame]) << "first difference after frame " << frame + 1;
    EXPECT_TRUE(first.screensAndModes.count("match 2vs"));
    EXPECT_TRUE(first.screensAndModes.count("match 2coop"));
    EXPECT_GT(first.movedPlayerTwo, 100.0f);
    // Another start time seeds another game: the runs part once the fighters are built.
    const std::vector<std::size_t> firstStart(first.hashes.begin(), first.hashes.begin() + 300);
    EXPECT_NE(firstStart, other.hashes);
}

class E2eRunnerDeterminism : public e2e::RunnerTest {};

TEST_F(E2eRunnerDeterminism, TwoRunsOfTheProgramWriteTheSameDumps) {
    const std::vector<int> frames = {30, 300, 700, 1100, 1500, 2000, 2390};
    const e2e::RunnerResult first = run(fightingScript(), 777, 2400, frames);
    ASSERT_EQ(first.exitCode, 0) << first.errors;
    shelltest::fs::remove(path("prefs.tbt"));
    shelltest::fs::remove(path("scores.txt"));
    const e2e::RunnerResult second = run(fightingScript(), 777, 2400, frames);
    ASSERT_EQ(second.exitCode, 0) << second.errors;
    ASSERT_EQ(first.dumps.size(), frames.size());
    for (int frame : frames) EXPECT_EQ(first.dumps.at(frame), second.dumps.at(frame)) << "frame " << frame;
    EXPECT_EQ(e2e::jsonValue(first.dumps.at(700), "gameMode"), "2vs");
    EXPECT_EQ(e2e::jsonValue(first.dumps.at(2000), "gameMode"), "2coop");
    EXPECT_EQ(e2e::jsonValue(first.dumps.at(2000), "screen"), "match");
}

}  // namespace
