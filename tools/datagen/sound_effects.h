#pragma once
// The two effects of a fight, synthesised: mono floats at 44.1 kHz, peak-normalised.

#include <vector>

namespace datagen {

// A landed blow: a low thump under a sharp crack, about a quarter of a second.
std::vector<float> blowSound();
// A blocked contact: a short, light wooden clack, about a tenth of a second.
std::vector<float> blockSound();

}  // namespace datagen
