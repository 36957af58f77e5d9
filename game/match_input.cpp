// The match's own input queue. Each frame's record brings the characters typed and the
// presses of P since the frame before; they wait here, as they would in the keyboard's
// queue, until the name entry or the pause takes them or a screen drains them.
#include <algorithm>

#include "game/match_state.h"

void MatchState::takeFrameInput(const InputRecord& input) {
    frameInput = input;
    const std::size_t room = TypedQueueCapacity - std::min<std::size_t>(typedQueue.size(), TypedQueueCapacity);
    typedQueue.append(input.typed, 0, room);  // typed too far ahead: the rest is lost
    pendingPauseHits = std::min(pendingPauseHits + input.pauseHits, 255);
}

void MatchState::drainMatchInput() {
    typedQueue.clear();
    pendingPauseHits = 0;
}

int MatchState::nextTypedChar() {
    if (typedQueue.empty()) return 0;
    const int c = static_cast<unsigned char>(typedQueue.front());
    typedQueue.erase(0, 1);
    return c;
}
