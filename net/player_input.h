#pragma once
// One player's keys on one frame, as the rollback session and the network carry them.
// The game decides what each bit means; the net core only compares, predicts and sends.

#include <cstdint>

struct PlayerInput {
    uint16_t held = 0;    // a bit per key held down: directions, Enter, Space, Esc, spares
    uint8_t presses = 0;  // a bit per key pressed on this frame (P, ...)
    uint8_t typed = 0;    // the character typed on this frame, 0 for none

    friend bool operator==(const PlayerInput&, const PlayerInput&) = default;
};

// The guess for a frame whose input has not arrived yet: keys held stay held, while a
// press or a typed character happens once and is not repeated.
constexpr PlayerInput predictFrom(const PlayerInput& lastKnown) { return {lastKnown.held, 0, 0}; }
