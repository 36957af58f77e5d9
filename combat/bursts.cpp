// The match's ring of 100 particle bursts: starting one in the next slot, and the
// per-frame pass.
#include "game/frame_events.h"
#include "game/match_state.h"

void MatchState::startBurst(float x, float y, float vx, float vy, int count, int kind, float speed, int yellow,
                            int spread) {
    bursts[nextBurst].start(x, y, vx, vy, count, kind, speed, yellow, spread);
    advanceBurst();
}

void MatchState::advanceBurst() {
    nextBurst += 1;
    if (nextBurst > BurstSlots) nextBurst = 1;
}

// Two passes so that all blood lies under all sparks; every burst moves once a frame,
// and only while it is active. The frame shows each burst moved here.
void MatchState::updateBursts(FrameEvents& events) {
    for (int kind : {BurstBlood, BurstPlasma}) {
        for (int i = 1; i <= BurstSlots; ++i) {
            dotburst& burst = bursts[i];
            if (burst.active == 1 && burst.kind == kind) {
                burst.update();
                events.picture.burstsDrawn.set(static_cast<std::size_t>(i));
            }
        }
    }
}
