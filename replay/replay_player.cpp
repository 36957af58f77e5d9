// Replay playback and the replay viewer.
#include "replay/replay_player.h"

#include <cstdio>
#include <filesystem>

#include "game/Game.h"
#include "game/frame_driver.h"
#include "game/keys.h"
#include "game/match_presentation.h"
#include "game/snapshot.h"

namespace {

constexpr int FastForwardUnseenSteps = 7;  // a shown frame every eighth step

// The viewer's frames: the recorded ones, as the keys of the one watching ask.
class ReplayFrames : public FrameSource {
public:
    explicit ReplayFrames(ReplayPlayback& playback) : playback_(playback) {}

    bool finished(const MatchState&) const override { return left_ || playback_.finished(); }
    void tick(FrameDriver& driver) override {
        if (KeyHit(key::Esc)) {
            left_ = true;
            return;
        }
        if (KeyHit(key::Space)) paused_ = !paused_;
        if (paused_) return;
        if (KeyDown(key::Right)) {
            for (int i = 0; i < FastForwardUnseenSteps && !playback_.finished(); ++i) driver.step(playback_.next(), false);
        }
        if (!playback_.finished()) driver.step(playback_.next(), true);
    }

private:
    ReplayPlayback& playback_;
    bool paused_ = false;
    bool left_ = false;
};

}  // namespace

bool ReplayPlayback::begin(MatchState& state, const Replay& replay) {
    replay_ = &replay;
    frame_ = 0;
    offset_ = 0;
    return restoreSnapshot(state, replay.snapshot.data(), replay.snapshot.size());
}

InputRecord ReplayPlayback::next() {
    InputRecord input;
    // The file was checked record by record when it was read.
    readRecord(replay_->records, offset_, input);
    frame_ += 1;
    return input;
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
    game.screen = "match";
    game.selection = 0;
    game.openDisplay();
    game.loadMusic();
    drainInput();
    game.startMusic();
    ReplayFrames frames(playback);
    FrameDriver driver(game, frames);
    MatchPresentation presentation(game, MatchPresentation::Pacing::HoldsTheGame);
    driver.observe(presentation);
    driver.run();
    game.stopMusic();
    return 0;
}
