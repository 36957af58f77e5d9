#include "tools/datagen/mastering.h"

#include <algorithm>
#include <cmath>

#include "tools/datagen/limiter.h"
#include "tools/datagen/loudness.h"
#include "tools/datagen/ogg_file.h"

namespace datagen {

namespace {

constexpr float kVorbisQuality = 0.4f;  // about 128 kbit/s: clean, and quick to encode
constexpr float kFadeSeconds = 1.5f;
constexpr int kAttempts = 4;

void scale(StereoBuffer& audio, float gain) {
    for (size_t i = 0; i < audio.size(); ++i) {
        audio.left[i] *= gain;
        audio.right[i] *= gain;
    }
}

float peakOf(const StereoBuffer& audio) {
    float peak = 0;
    for (size_t i = 0; i < audio.size(); ++i) peak = std::max({peak, std::fabs(audio.left[i]), std::fabs(audio.right[i])});
    return peak;
}

void fadeOut(StereoBuffer& audio) {
    const size_t fade = std::min(audio.size(), size_t(kFadeSeconds * kSampleRate));
    for (size_t i = 0; i < fade; ++i) {
        const size_t at = audio.size() - fade + i;
        const float t = 1.0f - float(i + 1) / float(fade);
        audio.left[at] *= t * t;
        audio.right[at] *= t * t;
    }
}

}  // namespace

MasteredTrack masterTrack(StereoAudio audio, uint32_t serial, const std::string& title) {
    StereoBuffer& mix = audio.buffer;
    fadeOut(mix);
    // Lossy coding adds small overshoots: the limiter aims below the final limit and
    // lowers its ceiling again if the decoded file still comes too close.
    float ceilingDb = kPeakLimitDb - 0.8f;
    MasteredTrack result;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        StereoBuffer master = mix;
        // Two passes: the limiter takes a little loudness, the second gain puts it back.
        for (int pass = 0; pass < 2; ++pass) {
            scale(master, float(std::pow(10.0, (kTargetLoudness - integratedLoudness(master)) / 20.0)));
            limitPeaks(master, decibelsToGain(ceilingDb));
        }
        result.oggBytes = encodeVorbis(master, serial, kVorbisQuality, title);
        const StereoBuffer decoded = decodeVorbis(result.oggBytes);
        result.loudness = integratedLoudness(decoded);
        result.peakDb = gainToDecibels(peakOf(decoded));
        if (result.peakDb < kPeakLimitDb - 0.1f) break;
        ceilingDb -= 0.5f;
    }
    return result;
}

std::string writeMasteredTrack(const std::string& path, StereoAudio audio, uint32_t serial, const std::string& title) {
    const MasteredTrack track = masterTrack(std::move(audio), serial, title);
    if (track.oggBytes.empty()) return "cannot encode " + path;
    if (track.peakDb >= kPeakLimitDb) return "peaks too high in " + path;
    return writeBytes(path, track.oggBytes);
}

}  // namespace datagen
