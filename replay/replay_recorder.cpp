// Recording a match as it is played, and writing it out when it ends.
#include "replay/replay_recorder.h"

#include "game/fingerprint.h"
#include "game/match_state.h"
#include "game/snapshot.h"
#include "replay/replay_folder.h"

ReplayRecorder::ReplayRecorder(const std::string& folder, const std::string& mode, int level,
                               std::vector<uint8_t> snapshot)
    : folder_(folder) {
    if (folder_.empty()) return;
    replay_.fingerprint = simulationFingerprint();
    replay_.mode = mode;
    replay_.level = level;
    replay_.snapshot = std::move(snapshot);
}

void ReplayRecorder::add(const InputRecord& input) {
    if (folder_.empty()) return;
    appendRecord(replay_.records, input);
    replay_.frames += 1;
}

SavedReplay ReplayRecorder::save() {
    if (folder_.empty()) return {};
    return saveReplayInFolder(folder_, replay_);
}

void ReplayKeeper::matchBegins(const MatchState& state) {
    recording_.emplace(folder_, state.gameMode, state.level, saveSnapshot(state));
}

void ReplayKeeper::stepped(const MatchState&, const SteppedFrame& frame) { recording_->add(frame.input); }

void ReplayKeeper::matchEnds(const MatchState&) {
    const SavedReplay saved = recording_->save();
    recording_.reset();
    if (!saved.error.empty() && onFailedSave) onFailedSave(saved.error);
}
