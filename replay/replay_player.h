#pragma once
// Playing a replay back: the match's first frame restored into the game, then one
// step per recorded frame, exactly as the match went.

#include <cstddef>
#include <string>

#include "replay/replay_file.h"

class Game;

class ReplayPlayback {
public:
    // Restores the replay's first frame and readies the game to play it back: nothing
    // it does reaches the options, the scores or the replay folder on disk. False when
    // the snapshot is not one a match can hold.
    bool begin(Game& game, const Replay& replay);
    bool finished() const { return frame_ >= replay_->frames; }
    // Steps the game through the next recorded frame.
    void step(Game& game);

private:
    const Replay* replay_ = nullptr;
    int frame_ = 0;
    std::size_t offset_ = 0;
};

// The replay in the window, or on the headless backend: start-up without the menus,
// then the match at the normal pace with its sound. Space pauses and resumes, Right
// held fast-forwards (seven quiet steps and a drawn one per frame), Esc leaves.
// Returns the exit status: 0, or 2 when the replay cannot be played (one line on
// stderr).
int watchReplay(Game& game, const Replay& replay);
