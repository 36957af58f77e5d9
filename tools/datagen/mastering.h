#pragma once
// The last stage of a track: loudness to about -16 LUFS, peaks held below -1 dBFS
// (checked on the decoded Vorbis, which can overshoot its input), a clean fade to
// silence, and the Ogg file.

#include <cstdint>
#include <string>

#include "tools/datagen/sequencer.h"

namespace datagen {

constexpr double kTargetLoudness = -16.0;  // LUFS
constexpr float kPeakLimitDb = -1.0f;      // dBFS, on the decoded file

struct MasteredTrack {
    std::string oggBytes;
    double loudness = 0;  // LUFS of the decoded file
    float peakDb = 0;     // of the decoded file
};

MasteredTrack masterTrack(StereoAudio audio, uint32_t serial, const std::string& title);
// Masters and writes; returns an error message or "".
std::string writeMasteredTrack(const std::string& path, StereoAudio audio, uint32_t serial, const std::string& title);

}  // namespace datagen
