#pragma once
// An online series on this machine: carries out the rollback session's requests on
// the Game. Frames run with both players' keys through Game::stepSeries; snapshots
// live in a ring of kSnapshotSlots; re-runs are quiet. It also follows the confirmed
// state frame by frame, which both machines see alike: each match of the series is
// recorded from confirmed inputs into a replay, the end of the series ends the
// session, and (on the host of a co-op campaign) a confirmed entry into the high-score
// table is saved. Predicted frames never reach the disk.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frontend/score_entry.h"
#include "net/rollback_session.h"
#include "replay/replay_recorder.h"

class Game;

// What the screen and the terminal say when a session ends this way; "" for an end
// that needs no word (finished, or left from this side).
const char* sessionEndMessage(SessionStatus status);

class OnlineMatch {
public:
    // The game holds the series' first state, frame 0's. `savesScores`: this side
    // keeps the campaign's high scores (the host).
    OnlineMatch(Game& game, bool savesScores);

    // Carries out one tick's requests; true when a frame ran for the first time, so
    // the game has just drawn it.
    bool carryOut(RollbackSession& session, const std::vector<SessionRequest>& requests);

    // Called with f each time the state at the start of frame f is confirmed (f >= 1).
    std::function<void(int32_t)> onConfirmed;
    // Within onConfirmed(f): hands `use` the game holding the confirmed state at the start
    // of f, then puts back the state it was in.
    void useConfirmedState(int32_t frame, const std::function<void(const Game&)>& use);

    // Writes the replay of the match in progress, from its confirmed frames (when the
    // session ends before the series does). Returns its path, or "".
    std::string saveReplay();
    bool seriesOver() const { return seriesOver_; }
    // Frames confirmed so far.
    int32_t confirmedFrames() const { return confirmedFrames_; }

private:
    // What the confirmed state is followed by, per saved state.
    struct Mark {
        int frameCounter = 0;
        std::string matchState;
        std::string gameMode;
        int level = 1;
        std::optional<ScoreTable> scores;  // on the high-score screen only
    };
    struct Slot {
        int32_t frame = -1;
        std::vector<uint8_t> state;
        Mark mark;
    };

    Mark markOf() const;
    Slot& slotOf(int32_t frame) { return slots_[static_cast<size_t>(frame) % slots_.size()]; }
    void confirm(RollbackSession& session, const SessionRequest& request);
    void follow(RollbackSession& session, int32_t frame);
    void saveConfirmedScores(const ScoreTable& table);

    Game& game_;
    bool savesScores_;
    std::array<Slot, kSnapshotSlots> slots_;
    std::vector<uint8_t> spare_;  // the live state while useConfirmedState lends the game
    int32_t liveFrame_ = 0;       // the frame the live state is at the start of
    int32_t confirmedFrames_ = 0;
    std::string confirmedMatchState_;
    std::optional<ReplayRecorder> recorder_;
    bool seriesOver_ = false;
};
