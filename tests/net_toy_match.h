#pragma once
// A toy deterministic game for the netcode tests: two players' positions, scores and
// typed text, where the order and the value of every input matter. ToySide carries
// out a session's requests on it the way the game will, and checks as it goes that
// the session asks for nothing impossible.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "net/rollback_session.h"

struct ToyState {
    int32_t frame = 0;
    std::array<int32_t, 2> position{};
    std::array<int32_t, 2> score{};
    uint32_t typed = 0;

    friend bool operator==(const ToyState&, const ToyState&) = default;
};

inline void stepToy(ToyState& state, const std::array<PlayerInput, 2>& inputs) {
    for (size_t p = 0; p < 2; ++p) {
        state.position[p] = (state.position[p] * 31 + inputs[p].held + 7) % 100003;
        state.score[p] += inputs[p].presses * (state.frame + 1);
        state.typed = state.typed * 131 + inputs[p].typed;
    }
    ++state.frame;
}

inline uint64_t toyChecksum(const ToyState& state) {
    uint64_t hash = 1469598103934665603ull;  // FNV-1a over the fields
    for (const int64_t v : {int64_t{state.frame}, int64_t{state.position[0]}, int64_t{state.position[1]},
                            int64_t{state.score[0]}, int64_t{state.score[1]}, int64_t{state.typed}})
        hash = (hash ^ static_cast<uint64_t>(v)) * 1099511628211ull;
    return hash;
}

// A player's keys on a frame: held keys that change every few frames, and now and
// then a press or a typed letter, which prediction gets wrong.
inline PlayerInput scriptedInput(int player, int32_t frame) {
    auto mix = [](uint32_t x) {
        x ^= x >> 16;
        x *= 0x7feb352du;
        x ^= x >> 15;
        return x;
    };
    const uint32_t phase = mix(static_cast<uint32_t>(player * 7919 + frame / 9));
    const uint32_t moment = mix(static_cast<uint32_t>(player * 104729 + frame));
    PlayerInput input;
    input.held = static_cast<uint16_t>(phase & 0x7F);
    input.presses = moment % 23 == 0 ? 1 : 0;
    input.typed = moment % 37 == 0 ? static_cast<uint8_t>('A' + moment % 26) : 0;
    return input;
}

// The frame's inputs as a local game with that input delay plays them.
inline std::array<PlayerInput, 2> scriptedFrame(int32_t frame, int inputDelay) {
    if (frame < inputDelay) return {};
    return {scriptedInput(0, frame), scriptedInput(1, frame)};
}

// The state after `frames` frames of the script, played locally with no network.
inline ToyState localToyRun(int32_t frames, int inputDelay) {
    ToyState state;
    for (int32_t f = 0; f < frames; ++f) stepToy(state, scriptedFrame(f, inputDelay));
    return state;
}

struct ToySide {
    ToyState state;
    std::array<ToyState, kSnapshotSlots> snapshots{};
    std::array<int32_t, kSnapshotSlots> snapshotFrame{};
    std::vector<std::array<PlayerInput, 2>> confirmed;  // by frame
    int32_t divergeAt = -1;  // a broken build: this side's simulation differs from that frame
    int worstQuietRun = 0;   // the most frames re-run on one tick
    // The game's own end: over at the first frame whose confirmed state passes this.
    std::function<bool(const ToyState&)> endsWhen;
    int32_t endFrame = -1;   // where endsWhen found it
    ToyState endState;

    void carryOut(RollbackSession& session, const std::vector<SessionRequest>& requests) {
        int quietRun = 0;
        for (const SessionRequest& r : requests) {
            const size_t slot = static_cast<size_t>(r.frame) % kSnapshotSlots;
            switch (r.kind) {
                case SessionRequest::Kind::SaveState:
                    EXPECT_EQ(state.frame, r.frame);
                    snapshots[slot] = state;
                    snapshotFrame[slot] = r.frame;
                    break;
                case SessionRequest::Kind::LoadState:
                    ASSERT_EQ(snapshotFrame[slot], r.frame) << "no snapshot kept for that frame";
                    state = snapshots[slot];
                    break;
                case SessionRequest::Kind::Advance:
                    ASSERT_EQ(state.frame, r.frame);
                    stepToy(state, r.inputs);
                    if (r.frame == divergeAt) state.position[0] += 1;
                    quietRun += r.quiet ? 1 : 0;
                    // A frame runs unquietly once, the first time, in order.
                    if (!r.quiet) {
                        EXPECT_EQ(r.frame, session.frame() - 1);
                    }
                    break;
                case SessionRequest::Kind::Confirmed:
                    if (endFrame >= 0 && r.frame >= endFrame) break;  // asked for before the end was found
                    EXPECT_EQ(r.frame, static_cast<int32_t>(confirmed.size()));
                    confirmed.push_back(r.inputs);
                    if (endsWhen) followConfirmed(session, r.frame + 1);
                    break;
                case SessionRequest::Kind::Checksum:
                    ASSERT_EQ(snapshotFrame[slot], r.frame);
                    session.setChecksum(r.frame, toyChecksum(snapshots[slot]));
                    break;
            }
        }
        worstQuietRun = std::max(worstQuietRun, quietRun);
        EXPECT_EQ(state.frame, session.frame()) << "the state is not left at the session's frame";
    }

    // The confirmed state at the start of `next`: its snapshot, or the state itself when
    // `next` has not run yet.
    void followConfirmed(RollbackSession& session, int32_t next) {
        const size_t slot = static_cast<size_t>(next) % kSnapshotSlots;
        if (next != session.frame()) {
            ASSERT_EQ(snapshotFrame[slot], next) << "no snapshot of a confirmed frame";
        }
        const ToyState& after = next == session.frame() ? state : snapshots[slot];
        if (endsWhen(after)) {
            endFrame = next;
            endState = after;
            session.endAt(next);
        }
    }
};
