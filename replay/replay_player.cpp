// Replay playback and the replay viewer.
#include "replay/replay_player.h"

#include <cstdio>
#include <filesystem>

#include "frontend/menu_frame.h"
#include "game/Game.h"
#include "game/keys.h"
#include "game/snapshot.h"

namespace {

constexpr int FastForwardQuietSteps = 7;  // a drawn frame every eighth step

}  // namespace

bool ReplayPlayback::begin(Game& game, const Replay& replay) {
    replay_ = &replay;
    frame_ = 0;
    offset_ = 0;
    if (!restoreSnapshot(game, replay.snapshot.data(), replay.snapshot.size())) return false;
    game.quiet = false;
    game.pausesOnKeyboard = false;  // pauses were recorded with the keys held after them
    game.savesScores = false;
    game.replayFolder.clear();      // watching a replay records none
    game.screen = "match";
    game.selection = 0;
    game.lastPacedFrame = MilliSecs();
    return true;
}

void ReplayPlayback::step(Game& game) {
    InputRecord input;
    // The file was checked record by record when it was read.
    readRecord(replay_->records, offset_, input);
    frame_ += 1;
    game.stepMatch(input);
}

int watchReplay(Game& game, const Replay& replay) {
    game.loadResources();
    game.resetOptions();
    // The viewer's own volumes and full-screen choice; the file is only read, never made.
    std::error_code error;
    if (std::filesystem::is_regular_file("prefs.tbt", error)) game.loadPrefs();
    ReplayPlayback playback;
    if (!playback.begin(game, replay)) {
        std::fprintf(stderr, "tumblebout: the replay holds a match state this game cannot reach\n");
        return 2;
    }
    game.openDisplay();
    game.loadMusic();
    drainInput();
    game.startMusic();
    bool paused = false;
    while (!playback.finished()) {
        if (KeyHit(key::Esc)) break;
        if (KeyHit(key::Space)) paused = !paused;
        if (!paused) {
            if (KeyDown(key::Right)) {
                game.quiet = true;
                for (int i = 0; i < FastForwardQuietSteps && !playback.finished(); ++i) playback.step(game);
                game.quiet = false;
            }
            if (!playback.finished()) playback.step(game);
            game.paceSlowMotion();
        }
        presentFrame();
    }
    game.stopMusic();
    return 0;
}
