#pragma once
// An online series on this machine, as the frame driver's source: each tick hands the
// local player's keys to the rollback session and carries out its requests on the
// Game. Frames run with both players' keys, the series going on from match to match
// without leaving the step (MatchState::continueSeries); snapshots live in a ring of
// kSnapshotSlots; re-runs are not shown. It also follows the confirmed state frame by
// frame, which both machines see alike: each match of the series is recorded from
// confirmed inputs into a replay, the end of the series ends the session, and (on the
// host of a co-op campaign) a confirmed entry into the high-score table is saved.
// Predicted frames never reach the disk.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frontend/score_entry.h"
#include "game/frame_driver.h"
#include "net/rollback_session.h"
#include "platform/backend.h"
#include "replay/replay_recorder.h"

class Game;

// This side's player: the keys for each tick, or the wish to leave the series.
class OnlinePlayer {
public:
    virtual ~OnlinePlayer() = default;
    // The keys for frame `inputFrame`, should this tick run it; nothing when the
    // player leaves the series now.
    virtual std::optional<PlayerInput> keysFor(int32_t inputFrame) = 0;
    // The keys last given went into a new frame.
    virtual void taken() {}
};

// What the screen and the terminal say when a session ends this way; "" for an end
// that needs no word (finished, or left from this side).
const char* sessionEndMessage(SessionStatus status);

class OnlineMatch : public FrameSource {
public:
    // The game holds the series' first state, frame 0's. `savesScores`: this side
    // keeps the campaign's high scores (the host). Replays go to `replayFolder` ("" none).
    OnlineMatch(Game& game, RollbackSession& session, OnlinePlayer& player, bool savesScores,
                const std::string& replayFolder);

    // Over once the session is (finished, broken off or left).
    bool finished(const MatchState& state) const override;
    // One tick of the session, its requests carried out.
    void tick(FrameDriver& driver) override;
    // Carries out a tick's requests: frames run through the driver, snapshots kept and
    // restored, confirmed frames followed, checksums answered.
    void carryOut(FrameDriver& driver, const std::vector<SessionRequest>& requests);

    // Called with f each time the state at the start of frame f is confirmed (f >= 1).
    std::function<void(int32_t)> onConfirmed;
    // The session's clock, in milliseconds.
    std::function<double()> clock = systemMilliseconds;
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
    void confirm(const SessionRequest& request);
    void follow(int32_t frame);
    // Writes the match recorded so far; one that cannot be saved is said on screen too.
    std::string saveRecording();

    Game& game_;
    RollbackSession& session_;
    OnlinePlayer& player_;
    bool savesScores_;
    std::string replayFolder_;
    std::array<Slot, kSnapshotSlots> slots_;
    std::vector<uint8_t> spare_;  // the live state while useConfirmedState lends the game
    int32_t liveFrame_ = 0;       // the frame the live state is at the start of
    int32_t confirmedFrames_ = 0;
    std::string confirmedMatchState_;
    std::optional<ReplayRecorder> recorder_;
    bool seriesOver_ = false;
};
