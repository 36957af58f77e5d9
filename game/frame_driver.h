#pragma once
// The one loop that runs a match's frames. A source gives the frames (the keyboard,
// a replay file, a rollback session), the step runs them, and observers watch each one
// (the presentation, the replay recorder, the score keeper). Drawing, sound, waiting
// and files are all observers' work: the step only changes the state.
//
// A loop turn is a tick: the source runs its frames for it (one from the keyboard;
// none or several from a replay being paused or fast-forwarded; a rollback's re-runs
// and a new frame), then the observers end the tick (the presentation shows it).

#include <cstdint>
#include <optional>
#include <vector>

#include "game/frame_events.h"
#include "game/input_record.h"

class MatchState;

// One frame as the driver hands it to the observers.
struct SteppedFrame {
    const InputRecord& input;  // as the step completed it (the keys held after a pause)
    const FrameEvents& events;
    bool firstShowing;         // false for a re-run after a correction, or a frame fast-forwarded past
};

class FrameObserver {
public:
    virtual ~FrameObserver() = default;
    // The state before the match's first frame.
    virtual void matchBegins(const MatchState& /*state*/) {}
    // A frame paused by P, at its pause point, before the source waits the pause out.
    virtual void paused(const MatchState& /*state*/, const FrameEvents& /*events*/) {}
    virtual void stepped(const MatchState& /*state*/, const SteppedFrame& /*frame*/) {}
    virtual void tickEnds(const MatchState& /*state*/) {}
    virtual void matchEnds(const MatchState& /*state*/) {}
};

class FrameDriver;

class FrameSource {
public:
    virtual ~FrameSource() = default;
    virtual bool finished(const MatchState& state) const = 0;
    // Runs this tick's frames with driver.step (and, for a rollback, loads and saves).
    virtual void tick(FrameDriver& driver) = 0;
    // At the pause point of a frame paused by P: waits until the pause ends and returns
    // the keys held then. A source that does not wait (its records say those keys)
    // returns nothing.
    virtual std::optional<uint16_t> waitOutPause() { return std::nullopt; }
};

class FrameDriver {
public:
    FrameDriver(MatchState& state, FrameSource& source);
    void observe(FrameObserver& observer);

    // The match from its first frame: ticks until the source has no more frames.
    void run();
    // One turn of the loop: the source's frames, then the end of the tick.
    void tick();
    // One frame of the state with `input`, shown to every observer.
    void step(const InputRecord& input, bool firstShowing);
    MatchState& state() { return state_; }

private:
    MatchState& state_;
    FrameSource& source_;
    std::vector<FrameObserver*> observers_;
    FrameEvents events_;  // reused frame after frame
};
