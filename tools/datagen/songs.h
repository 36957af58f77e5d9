#pragma once
// The game's four music tracks, as sequencer data.

#include "tools/datagen/sequencer.h"

namespace datagen {

constexpr int kSongCount = 4;

// Track 1..kSongCount.
const Song& songByNumber(int number);

}  // namespace datagen
