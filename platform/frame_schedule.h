#pragma once
// Pacing of presented frames to a steady rate when the display gives no vertical-blank
// wait: a target time that advances one frame period per frame, slept up to before
// each present. A target already passed (a late frame) or implausibly far ahead (the
// clock jumped) restarts the schedule from now, without sleeping.

#include <functional>

class FrameSchedule {
public:
    using Clock = std::function<double()>;      // milliseconds, any origin
    using Sleep = std::function<void(double)>;  // sleeps about that many milliseconds

    // The steady system clock and a real sleep.
    explicit FrameSchedule(double hertz = 60.0);
    FrameSchedule(double hertz, Clock clock, Sleep sleep);

    // Call right before presenting: waits until this frame's time has come.
    void waitForFrame();
    // Milliseconds the schedule aims the current frame at.
    double target() const { return target_; }

private:
    double period_;
    Clock clock_;
    Sleep sleep_;
    double target_ = 0;
    bool started_ = false;
};
