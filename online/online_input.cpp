// Reading the local player's keys for the network, and merging both players' keys.
#include "online/online_input.h"

#include "platform/platform.h"

namespace {

constexpr uint16_t ArrowKeys = KeyP1Up | KeyP1Down | KeyP1Left | KeyP1Right;
constexpr int PlayerTwoShift = 4;  // arrows to W, S, A, D: see MatchKey

}  // namespace

PlayerInput readLocalPlayerInput(bool types) {
    PlayerInput input;
    input.held = heldMatchKeys() & OnlineKeys;
    if (types) {
        const int c = GetChar();
        if (c > 0 && c < 256) input.typed = static_cast<uint8_t>(c);
    } else {
        while (GetChar() != 0) {  // nobody reads what the joiner types
        }
    }
    return input;
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
