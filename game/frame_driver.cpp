// The frame loop shared by every way a match is played or watched.
#include "game/frame_driver.h"

#include "game/match_state.h"

FrameDriver::FrameDriver(MatchState& state, FrameSource& source) : state_(state), source_(source) {}

void FrameDriver::observe(FrameObserver& observer) { observers_.push_back(&observer); }

void FrameDriver::run() {
    for (FrameObserver* observer : observers_) observer->matchBegins(state_);
    while (!source_.finished(state_)) tick();
    for (FrameObserver* observer : observers_) observer->matchEnds(state_);
}

void FrameDriver::tick() {
    source_.tick(*this);
    for (FrameObserver* observer : observers_) observer->tickEnds(state_);
}

void FrameDriver::step(const InputRecord& input, bool firstShowing) {
    state_.stepToPausePoint(input, events_);
    if (events_.paused && firstShowing) {
        for (FrameObserver* observer : observers_) observer->paused(state_, events_);
        if (const std::optional<uint16_t> held = source_.waitOutPause()) state_.frameInput.heldAfterPause = *held;
    }
    state_.finishStep(events_);
    const SteppedFrame frame{state_.frameInput, events_, firstShowing};
    for (FrameObserver* observer : observers_) observer->stepped(state_, frame);
}
