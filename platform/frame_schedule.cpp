#include "platform/frame_schedule.h"

#include <chrono>
#include <thread>

namespace {

// A restart, not a catch-up burst, once the target lies this far ahead.
constexpr double farAheadMs = 1000.0;

double steadyMilliseconds() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

void sleepMilliseconds(double ms) {
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
}

}  // namespace

FrameSchedule::FrameSchedule(double hertz)
    : FrameSchedule(hertz, steadyMilliseconds, sleepMilliseconds) {}

FrameSchedule::FrameSchedule(double hertz, Clock clock, Sleep sleep)
    : period_(1000.0 / (hertz > 0 ? hertz : 60.0)), clock_(std::move(clock)), sleep_(std::move(sleep)) {}

void FrameSchedule::waitForFrame() {
    double now = clock_();
    target_ += period_;
    if (!started_ || target_ < now || target_ - now >= farAheadMs) {
        started_ = true;
        target_ = now;
        return;
    }
    if (target_ > now) sleep_(target_ - now);
}
