// The local player's side of a match's input: the keyboard (and the controllers, which
// press the same keys) read once at the start of each frame into an input record.
#include <algorithm>

#include "game/input_record.h"
#include "game/keys.h"
#include "game/match_state.h"
#include "platform/platform.h"

uint16_t heldMatchKeys() {
    uint16_t held = 0;
    for (int bit = 0; bit < 14; ++bit) {
        if (KeyDown(MatchKeyCodes[bit])) held |= static_cast<uint16_t>(1u << bit);
    }
    return held;
}

InputRecord readKeyboardInput() {
    InputRecord input;
    input.held = heldMatchKeys();
    input.heldAfterPause = input.held;
    input.pauseHits = static_cast<uint8_t>(std::min(KeyHit(key::P), 255));
    for (int c = GetChar(); c != 0 && input.typed.size() < TypedQueueCapacity; c = GetChar()) {
        input.typed += static_cast<char>(c);
    }
    return input;
}

void ignoreKeysHeldIntoTheNameEntry(const MatchState& match) {
    if (match.matchState == "game over" && match.frameCounter == match.stateStartFrame) IgnoreHeldKeyRepeats();
}
