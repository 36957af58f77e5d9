#include "tools/datagen/reverb.h"

#include <algorithm>
#include <array>

namespace datagen {

namespace {

class Comb {
public:
    explicit Comb(size_t length) : buffer_(length, 0.0f) {}
    float process(float x, float feedback, float damping) {
        float y = buffer_[at_];
        store_ = y * (1.0f - damping) + store_ * damping;
        buffer_[at_] = x + store_ * feedback;
        at_ = (at_ + 1) % buffer_.size();
        return y;
    }

private:
    std::vector<float> buffer_;
    size_t at_ = 0;
    float store_ = 0;
};

class AllPass {
public:
    explicit AllPass(size_t length) : buffer_(length, 0.0f) {}
    float process(float x) {
        float delayed = buffer_[at_];
        buffer_[at_] = x + delayed * 0.5f;
        at_ = (at_ + 1) % buffer_.size();
        return delayed - x;
    }

private:
    std::vector<float> buffer_;
    size_t at_ = 0;
};

// Mutually prime delay lengths (samples at 44.1 kHz); the right side is slightly
// longer so the two sides decorrelate into a wide image.
constexpr std::array<size_t, 8> kCombLengths = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr std::array<size_t, 4> kAllPassLengths = {556, 441, 341, 225};
constexpr size_t kStereoSpread = 23;

float reverbChannel(std::vector<Comb>& combs, std::vector<AllPass>& allPasses, float x, float feedback, float damping) {
    float sum = 0;
    for (Comb& comb : combs) sum += comb.process(x, feedback, damping);
    for (AllPass& pass : allPasses) sum = pass.process(sum);
    return sum;
}

}  // namespace

void addReverb(const StereoBuffer& input, StereoBuffer& output, float roomSize, float damping, float wet) {
    std::vector<Comb> combsL, combsR;
    std::vector<AllPass> passesL, passesR;
    for (size_t length : kCombLengths) {
        combsL.emplace_back(length);
        combsR.emplace_back(length + kStereoSpread);
    }
    for (size_t length : kAllPassLengths) {
        passesL.emplace_back(length);
        passesR.emplace_back(length + kStereoSpread);
    }
    const float feedback = 0.7f + 0.28f * roomSize;
    const float inputGain = 0.015f;
    const size_t frames = std::min(input.size(), output.size());
    for (size_t i = 0; i < frames; ++i) {
        float x = (input.left[i] + input.right[i]) * inputGain;
        output.left[i] += wet * reverbChannel(combsL, passesL, x, feedback, damping);
        output.right[i] += wet * reverbChannel(combsR, passesR, x, feedback, damping);
    }
}

void addPingPongEcho(const StereoBuffer& input, StereoBuffer& output, float delaySeconds, float feedback, float wet) {
    const size_t delay = size_t(delaySeconds * kSampleRate);
    const size_t frames = std::min(input.size(), output.size());
    if (delay == 0 || delay >= frames) return;
    // Echo lines: the left line feeds the right and back, darkened each pass.
    std::vector<float> lineL(frames, 0.0f), lineR(frames, 0.0f);
    OnePole darkL, darkR;
    darkL.set(3500);
    darkR.set(3500);
    for (size_t i = delay; i < frames; ++i) {
        float mono = 0.5f * (input.left[i - delay] + input.right[i - delay]);
        lineL[i] = darkL.lowpass(mono + lineR[i - delay] * feedback);
        lineR[i] = darkR.lowpass(lineL[i - delay] * feedback);
        output.left[i] += wet * lineL[i];
        output.right[i] += wet * lineR[i];
    }
}

}  // namespace datagen
