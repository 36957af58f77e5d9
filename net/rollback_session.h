#pragma once
// Rollback netcode for a two-player match, written as a list of requests so that it
// never touches the game: each tick the caller hands in its local input and carries
// out, in order, the requests the session answers with.
//
// Each side runs its frames at once on its own keys and predicts the other side's
// (the last keys known, held on, see predictFrom). When the real inputs arrive and
// differ, the session asks to load the snapshot of the first wrong frame and to run
// the frames since then again, quietly. A side never runs more than
// kMaxRollbackFrames frames past the other side's last confirmed input: then it
// waits, and so no correction is ever longer than that. Local input acts
// `inputDelay` frames after it is read, which gives it that much time to travel and
// so fewer corrections; frames before the delay run with no keys on both sides.
//
// A tick:
//   const auto& requests = session.tick(keys, nowMs);
//   for (const SessionRequest& r : requests) switch (r.kind) {
//       case SaveState: keep a snapshot as frame r.frame's, in slot r.frame % kSnapshotSlots
//       case LoadState: restore the snapshot of r.frame
//       case Advance:   run frame r.frame with r.inputs; r.quiet: no sound, freeze or drawing
//       case Confirmed: r.inputs are final for r.frame: record them (the replay)
//       case Checksum:  session.setChecksum(r.frame, checksum of the snapshot of r.frame)
//   }
// then draw if a frame was run unquietly. Every frame that runs, first or again, is
// saved first, so once frame f is confirmed the state at its start is the snapshot of
// f, and the state at the start of f + 1 that of f + 1 (or, when f + 1 has not run
// yet, the current state): the caller can follow the confirmed state frame by frame
// (replays, an end decided by the game, see endAt). Once status() is no longer
// Running the session is over: destroy the transport (it delivers the last packets,
// such as a leave) rather than leaving it unserviced.
//
// Desync detection: every kChecksumInterval frames, and at the end frame, both sides
// checksum the confirmed state at the start of that frame and exchange the result; a
// difference ends the session with Desync on both sides, and so does a checksum the
// peer keeps back: one still missing once its inputs run kChecksumOverdueFrames past
// the checkpoint, or kSilenceLimitMs after it reached the end. Player 1 is the host.

#include <array>
#include <cstdint>
#include <vector>

#include "net/checksum_ledger.h"
#include "net/net_stats.h"
#include "net/player_input.h"
#include "net/protocol.h"
#include "net/time_sync.h"
#include "net/transport.h"

inline constexpr int kMaxRollbackFrames = 8;
inline constexpr int kSnapshotSlots = 16;       // more than the window ever needs at once
inline constexpr int kChecksumInterval = 16;    // frames between desync checks
// No new input from the peer for this long: connection lost. Packets that bring nothing
// new (keep-alives) do not hold a session up.
inline constexpr double kSilenceLimitMs = 5000;
// Five seconds of play: an honest peer's checksum is never that late, since ENet gives
// a link up sooner when a reliable packet goes unacknowledged.
inline constexpr int kChecksumOverdueFrames = 300;

struct SessionConfig {
    int localPlayer = 0;         // 0: the host (player 1); 1: the one who joined (player 2)
    int inputDelay = 2;          // frames, 0 to kMaxInputDelay; the host's, from the welcome
    int32_t endFrame = -1;       // end gracefully once frames before it are confirmed; -1: none
    double frameMs = 1000.0 / 60.0;  // the frame period both sides aim at
};

struct SessionRequest {
    enum class Kind : uint8_t {
        SaveState,  // save the current state as the state at the start of `frame`
        LoadState,  // restore the state saved for `frame`
        Advance,    // run `frame` with `inputs`
        Confirmed,  // `inputs` are final for `frame`; once per frame, in frame order, up to the end
        Checksum,   // checksum the state saved for `frame`, then call setChecksum
    };
    Kind kind = Kind::Advance;
    int32_t frame = 0;
    std::array<PlayerInput, 2> inputs{};  // Advance, Confirmed: player 1's, player 2's
    bool quiet = false;      // Advance: a re-run: no sounds, no hit freeze, no drawing
    bool confirmed = false;  // Advance: both inputs are final and never corrected
};

enum class SessionStatus : uint8_t {
    Running,
    Finished,        // both sides confirmed every frame before endFrame
    OpponentLeft,    // the other player quit
    ConnectionLost,  // the link closed or brought no new input for kSilenceLimitMs
    Desync,          // the two sides' confirmed states differ, or the peer kept its checksum
    PeerMisbehaved,  // the peer sent garbage or broke the window, and was dropped
    Left,            // this side called leave()
};

class RollbackSession {
public:
    RollbackSession(Transport& transport, const SessionConfig& config, double nowMs);

    // One tick of the caller's frame loop; `local` is used only if a new frame runs,
    // for frame inputFrame(). Empty once the session has ended.
    const std::vector<SessionRequest>& tick(const PlayerInput& local, double nowMs);
    // The answer to a Checksum request.
    void setChecksum(int32_t frame, uint64_t checksum);
    // Ends the session and tells the other side, whose session ends with OpponentLeft.
    void leave();
    // Ends the session gracefully at `frame`, as SessionConfig::endFrame does, for an
    // end found while it runs: the game is over in the confirmed state at the start of
    // `frame`, which both sides see alike. Frames from `frame` on may have run already
    // (on predictions); none runs any more, none is confirmed, and no checksum past
    // `frame` is exchanged. Call it while carrying out the Confirmed request of
    // frame - 1, before the checksum requests of that tick; an earlier end stands.
    void endAt(int32_t frame);

    SessionStatus status() const { return status_; }
    // The next frame to run for the first time.
    int32_t frame() const { return frame_; }
    // The frame the local input of the next tick acts on, if that tick runs a frame.
    int32_t inputFrame() const { return frame_ + config_.inputDelay; }
    // After Desync: the first frame whose checksums differ; -1 if the peer found it.
    int32_t desyncFrame() const { return desyncFrame_; }
    const NetStats& stats() const { return stats_; }

private:
    static constexpr int kRingSize = 64;  // inputs kept per player; the window needs far fewer
    using InputRing = std::array<PlayerInput, kRingSize>;
    static size_t slot(int32_t frame) { return static_cast<size_t>(frame) % kRingSize; }

    // ---- Receiving
    void receive(double nowMs);
    void handleDatagram(const std::vector<uint8_t>& bytes, double nowMs);
    bool takeInputs(const InputsPacket& packet);
    void measureRoundTrip(const InputsPacket& packet, double nowMs);
    bool takeChecksum(int32_t frame, uint64_t checksum);
    void takeLeave(LeaveReason reason);

    // ---- Running frames
    void rollBack();
    void advanceOrWait(const PlayerInput& local);
    void pushAdvance(int32_t frame, bool quiet);
    void reportConfirmed();
    void requestDueChecksum();
    void checkOverdueChecksum();
    PlayerInput localInput(int32_t frame) const;
    PlayerInput remoteInput(int32_t frame) const;  // confirmed frames only
    std::array<PlayerInput, 2> inPlayerOrder(const PlayerInput& local, const PlayerInput& remote) const;
    void push(SessionRequest::Kind kind, int32_t frame, const std::array<PlayerInput, 2>& inputs = {});

    // ---- Sending and ending
    void sendInputs(double nowMs);
    void sendPacket(const Packet& packet, Delivery delivery);
    void checkEnd(double nowMs);
    bool endConfirmed() const { return config_.endFrame >= 0 && confirmed_ >= config_.endFrame - 1; }
    void peerGone(SessionStatus otherwise);
    void leaveWith(LeaveReason reason, SessionStatus status);
    void endInDesync(int32_t frame);
    void end(SessionStatus status);

    Transport& transport_;
    SessionConfig config_;
    SessionStatus status_ = SessionStatus::Running;
    std::vector<SessionRequest> requests_;
    std::vector<LinkEvent> events_;

    // ---- Frames and inputs
    int32_t frame_ = 0;          // the next frame to run for the first time
    int32_t confirmed_;          // the remote inputs are known up to this frame
    int32_t peerReceived_;       // the peer holds our inputs for the frames before this
    int32_t peerFrame_ = 0;      // the newest frame the peer said it runs next
    int32_t firstWrong_ = -1;    // the first frame run on a wrong prediction, or -1
    int32_t nextToConfirm_ = 0;  // the next frame for a Confirmed request
    InputRing localInputs_{};
    InputRing remoteInputs_{};   // confirmed frames
    InputRing usedRemote_{};     // what each frame ran with, predicted or confirmed

    // ---- Desync checks and the end
    ChecksumLedger ledger_;
    int32_t nextCheckpoint_ = kChecksumInterval;
    int32_t desyncFrame_ = -1;
    bool endChecksumRequested_ = false;
    bool peerFinished_ = false;
    double endReachedMs_ = -1;

    // ---- Timing
    TimeSync timeSync_;
    double lastProgressMs_;  // when a new input of the peer's was last confirmed
    double lastSentMs_ = -1e9;
    bool sendDue_ = true;
    bool haveRemoteStamp_ = false;
    uint32_t remoteStampMs_ = 0;     // the newest stamp from the peer
    double remoteStampHeardMs_ = 0;  // when it arrived, on our clock

    // ---- Figures
    NetStats stats_;
    ByteRate sentRate_;
    ByteRate receivedRate_;
};
