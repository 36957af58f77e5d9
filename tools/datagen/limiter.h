#pragma once
// Look-ahead peak limiter: the gain falls smoothly just before a peak so that no
// sample exceeds the ceiling, and recovers slowly after it.

#include "tools/datagen/instruments.h"

namespace datagen {

void limitPeaks(StereoBuffer& audio, float ceiling, float lookAheadSeconds = 0.0015f, float releaseSeconds = 0.08f);

}  // namespace datagen
