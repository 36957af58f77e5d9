// Reading the local player's keys for the network, and merging both players' keys.
#include "online/online_input.h"

#include "platform/platform.h"

namespace {

constexpr uint16_t ArrowKeys = KeyP1Up | KeyP1Down | KeyP1Left | KeyP1Right;
constexpr int PlayerTwoShift = 4;  // arrows to W, S, A, D: see MatchKey

}  // namespace

PlayerInput readLocalPlayerInput() {
    PlayerInput input;
    input.held = heldMatchKeys() & OnlineKeys;
    return input;
}

uint8_t TypedCharacters::offer() {
    // Characters beyond one byte are not the name entry's; they are passed over.
    while (pending_ == 0) {
        const int c = GetChar();
        if (c == 0) break;
        if (c > 0 && c < 256) pending_ = static_cast<uint8_t>(c);
    }
    return pending_;
}

void dropTypedCharacters() {
    while (GetChar() != 0) {
    }
}

InputRecord matchInputFromPlayers(const std::array<PlayerInput, 2>& inputs) {
    const uint16_t one = inputs[0].held & OnlineKeys;
    const uint16_t two = inputs[1].held & OnlineKeys;
    InputRecord record;
    record.held = static_cast<uint16_t>((one & ArrowKeys) | ((two & ArrowKeys) << PlayerTwoShift) |
                                        ((one | two) & (KeyEnter | KeySpace)));
    record.heldAfterPause = record.held;
    if (inputs[0].typed != 0) record.typed = std::string(1, static_cast<char>(inputs[0].typed));
    return record;
}
