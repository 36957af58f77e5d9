#pragma once
// Recording matches: the snapshot of a match's first frame, then each frame's input
// record as the step completed it, written to the replay folder when the match ends.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "game/frame_driver.h"
#include "game/input_record.h"
#include "replay/replay_file.h"
#include "replay/replay_folder.h"

class ReplayRecorder {
public:
    ReplayRecorder(const std::string& folder, const std::string& mode, int level, std::vector<uint8_t> snapshot);
    void add(const InputRecord& input);
    // Writes the replay: its path, or why it could not be written; nothing when no
    // folder is set.
    SavedReplay save();

private:
    std::string folder_;
    Replay replay_;
};

// Records every match the driver runs into `folder`, each as it ends.
class ReplayKeeper : public FrameObserver {
public:
    explicit ReplayKeeper(std::string folder) : folder_(std::move(folder)) {}
    // Told why a replay could not be saved (the line is on stderr already), if set.
    std::function<void(const std::string& error)> onFailedSave;

    void matchBegins(const MatchState& state) override;
    void stepped(const MatchState& state, const SteppedFrame& frame) override;
    void matchEnds(const MatchState& state) override;

private:
    std::string folder_;
    std::optional<ReplayRecorder> recording_;
};
