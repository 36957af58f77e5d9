#pragma once
// Integrated loudness of a stereo programme (ITU-R BS.1770: K-weighting, 400 ms
// blocks with 75 % overlap, absolute gate at -70 LUFS, relative gate 10 LU below).

#include "tools/datagen/instruments.h"

namespace datagen {

// In LUFS; -70 or lower for silence.
double integratedLoudness(const StereoBuffer& audio);

}  // namespace datagen
