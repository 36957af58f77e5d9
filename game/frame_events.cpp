// The frame's events and picture: kept bursts, and starting each frame afresh.
#include "game/frame_events.h"

#include <algorithm>

void FramePicture::keepBeforeRestart(int slot, const dotburst& burst) {
    const auto index = static_cast<std::size_t>(slot);
    if (!burstsDrawn.test(index)) return;  // not drawn this frame: nothing to keep
    const auto kept = [slot](const auto& entry) { return entry.first == slot; };
    // A ring that wraps within one frame restarts a slot twice: the drawn one is the first.
    if (std::any_of(burstsBeforeRestart.begin(), burstsBeforeRestart.end(), kept)) return;
    burstsBeforeRestart.emplace_back(slot, burst);
}

const dotburst& FramePicture::drawnBurst(int slot, const MatchState& state) const {
    for (const auto& [kept, burst] : burstsBeforeRestart)
        if (kept == slot) return burst;
    return state.bursts[static_cast<std::size_t>(slot)];
}

bool FrameEvents::has(MatchEffect effect) const {
    return std::find(effects.begin(), effects.end(), effect) != effects.end();
}

void FrameEvents::clear() {
    effects.clear();
    paused = false;
    slowMotion = false;
    picture.burstsDrawn.reset();
    picture.burstsBeforeRestart.clear();
    picture.endScreens.clear();
}
