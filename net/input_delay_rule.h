#pragma once
// The input delay for a link whose round trip is known before play. A key from the
// other side arrives half a round trip late, f frames; measured at 80 ms each way, the
// typical correction is then about f + 1 - delay frames (5-6 at a delay of 0, 3-4 at
// 2). So the delay that keeps corrections at about 4 frames is f - 3, rounded up: 0 up
// to 100 ms of round trip, 1 to 133 ms, 2 to 166 ms, and one more per 33 ms after that.

#include <algorithm>
#include <cmath>

#include "net/protocol.h"

inline constexpr int kTypicalCorrectionFrames = 4;

inline int inputDelayForRoundTrip(double roundTripMs, double frameMs = 1000.0 / 60.0) {
    const double lateFrames = roundTripMs / 2 / frameMs;
    const int delay = static_cast<int>(std::ceil(lateFrames + 1 - kTypicalCorrectionFrames - 1e-9));
    return std::clamp(delay, 0, kMaxInputDelay);
}
