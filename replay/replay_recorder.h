#pragma once
// Records the match being played: the snapshot of its first frame, then each frame's
// input record as the step completed it. When the match ends the replay goes into the
// Game's replay folder; with no folder set nothing is kept.

#include <cstdint>
#include <string>
#include <vector>

#include "game/input_record.h"
#include "replay/replay_file.h"
#include "replay/replay_folder.h"

class Game;

class ReplayRecorder {
public:
    // Takes the snapshot: call it once the match is set up, before its first step.
    explicit ReplayRecorder(const Game& game);
    // A match whose first frame is already a snapshot (online, from the confirmed state).
    ReplayRecorder(const std::string& folder, const std::string& mode, int level, std::vector<uint8_t> snapshot);
    void add(const InputRecord& input);
    // Writes the replay: its path, or why it could not be written; nothing when no
    // folder is set.
    SavedReplay save();

private:
    std::string folder_;
    Replay replay_;
};
