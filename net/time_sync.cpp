#include "net/time_sync.h"

#include <algorithm>
#include <cmath>

namespace {

// Each packet moves the estimates a tenth of the way: a single late packet or one
// frame of jitter does not make a side wait.
constexpr float smoothing = 0.1f;
// A side waits at most one frame in this many, which a player does not notice.
constexpr int framesBetweenWaits = 12;

}  // namespace

void TimeSync::heard(int32_t localFrame, int32_t remoteFrame, int remoteAdvantage, double roundTripMs) {
    const double remoteNow = remoteFrame + roundTripMs / 2 / frameMs_;
    const float sample = static_cast<float>(localFrame - remoteNow);
    local_ += smoothing * (sample - local_);
    remote_ += smoothing * (static_cast<float>(remoteAdvantage) - remote_);
}

int8_t TimeSync::localAdvantage() const {
    return static_cast<int8_t>(std::clamp(std::lround(local_), -127l, 127l));
}

bool TimeSync::shouldWait() {
    ++framesSinceWait_;
    if (framesSinceWait_ < framesBetweenWaits || framesAhead() < 1.0f) return false;
    framesSinceWait_ = 0;
    return true;
}
