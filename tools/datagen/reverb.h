#pragma once
// Space for the music: a stereo room reverb (parallel combs into all-passes) and a
// tempo-synced ping-pong echo.

#include "tools/datagen/instruments.h"

namespace datagen {

// Adds the reverb of `input` to `output`, `wet` being the level of the reverb.
void addReverb(const StereoBuffer& input, StereoBuffer& output, float roomSize, float damping, float wet);

// Adds echoes of `input` to `output`: `delaySeconds` apart, alternating sides,
// each `feedback` times the last and a little darker.
void addPingPongEcho(const StereoBuffer& input, StereoBuffer& output, float delaySeconds, float feedback, float wet);

}  // namespace datagen
