#pragma once
// Playing a replay back: the match's first frame restored, then one step per recorded
// frame, exactly as the match went.

#include <cstddef>
#include <string>

#include "game/input_record.h"
#include "replay/replay_file.h"

class Game;
class MatchState;

class ReplayPlayback {
public:
    // Restores the replay's first frame into `state`. False when the snapshot is not
    // one a match can hold.
    bool begin(MatchState& state, const Replay& replay);
    bool finished() const { return frame_ >= replay_->frames; }
    // The next recorded frame's input.
    InputRecord next();

private:
    const Replay* replay_ = nullptr;
    int frame_ = 0;
    std::size_t offset_ = 0;
};

// The replay in the window, or on the headless backend: start-up without the menus,
// then the match at the normal pace with its sound. Space pauses and resumes, Right
// held fast-forwards (seven unseen steps and a shown one per frame), Esc leaves.
// Nothing it does reaches the options, the scores or the replay folder on disk.
// Returns the exit status: 0, or 2 when the replay cannot be played (one line on
// stderr).
int watchReplay(Game& game, const Replay& replay);
