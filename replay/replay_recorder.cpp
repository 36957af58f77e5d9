// Recording a match as it is played, and writing it out when it ends.
#include "replay/replay_recorder.h"

#include "game/Game.h"
#include "game/fingerprint.h"
#include "game/snapshot.h"
#include "replay/replay_folder.h"

ReplayRecorder::ReplayRecorder(const Game& game) : recording_(!game.replayFolder.empty()) {
    if (!recording_) return;
    replay_.fingerprint = simulationFingerprint();
    replay_.mode = game.gameMode;
    replay_.level = game.level;
    replay_.snapshot = saveSnapshot(game);
}

void ReplayRecorder::add(const InputRecord& input) {
    if (!recording_) return;
    appendRecord(replay_.records, input);
    replay_.frames += 1;
}

std::string ReplayRecorder::save(const Game& game) {
    if (!recording_) return "";
    return saveReplayInFolder(game.replayFolder, replay_);
}
