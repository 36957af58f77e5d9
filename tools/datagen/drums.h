#pragma once
// Synthesised drum hits. A kit is plain data tuning each drum, so the four tracks
// can sound apart: a deep electronic kick, a chip-noise snare, a big rock snare...

#include <cstdint>
#include <vector>

namespace datagen {

enum class Drum { Kick, Snare, Clap, ClosedHat, OpenHat, Crash, Ride, HighTom, LowTom, Shaker, Count };

struct DrumKit {
    float kickPitch = 50, kickSweep = 110, kickDecay = 0.30f, kickClick = 0.5f, kickDrive = 0.3f;
    float snareTone = 190, snareNoise = 0.8f, snareDecay = 0.16f, snareSnap = 4500;
    bool chipNoise = false;  // snare and hats from a coarse noise, like an old console
    float hatBright = 8000, hatDecay = 0.045f;
    float tomPitch = 110;
};

// One hit at full velocity, mono; variant changes the noise seed so repeated hits
// are not identical.
std::vector<float> renderDrum(Drum drum, const DrumKit& kit, int variant);

}  // namespace datagen
