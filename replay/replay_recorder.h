#pragma once
// Records the match being played: the snapshot of its first frame, then each frame's
// input record as the step completed it. When the match ends the replay goes into the
// Game's replay folder; with no folder set nothing is kept.

#include "game/input_record.h"
#include "replay/replay_file.h"

class Game;

class ReplayRecorder {
public:
    // Takes the snapshot: call it once the match is set up, before its first step.
    explicit ReplayRecorder(const Game& game);
    void add(const InputRecord& input);
    // Writes the replay; returns the file's path, or "" when none was written.
    std::string save(const Game& game);

private:
    bool recording_ = false;
    Replay replay_;
};
