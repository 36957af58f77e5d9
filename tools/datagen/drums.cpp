#include "tools/datagen/drums.h"

#include <cmath>

#include "tools/datagen/dsp.h"

namespace datagen {

namespace {

std::vector<float> buffer(float seconds) { return std::vector<float>(size_t(seconds * kSampleRate), 0.0f); }

float attackRamp(size_t i) { return std::fmin(1.0f, float(i) / 30.0f); }  // no click on the first sample

// Noise that holds each value for a few samples: the grainy hiss of old sound chips.
class CoarseNoise {
public:
    CoarseNoise(uint32_t seed, int hold) : noise_(seed), hold_(hold) {}
    float next() {
        if (count_++ % hold_ == 0) value_ = (noise_.nextBits() & 0x100) ? 1.0f : -1.0f;
        return value_;
    }

private:
    Noise noise_;
    int hold_, count_ = 0;
    float value_ = 0;
};

std::vector<float> kick(const DrumKit& kit, uint32_t seed) {
    auto out = buffer(kit.kickDecay * 2.2f);
    Oscillator body;
    body.setPhase(0.25f);
    Noise noise(seed);
    OnePole clickFilter;
    clickFilter.set(3000);
    for (size_t i = 0; i < out.size(); ++i) {
        float t = float(i) / kSampleRate;
        body.setFrequency(kit.kickPitch + kit.kickSweep * std::exp(-t / 0.03f));
        float level = std::exp(-t / (kit.kickDecay * 0.45f));
        float b = body.next(Oscillator::Shape::Sine) * level;
        float click = clickFilter.lowpass(noise.next()) * std::exp(-t / 0.004f) * kit.kickClick;
        float drive = 1.0f + kit.kickDrive * 4.0f;
        out[i] = softClip((b + click) * drive) / softClip(drive) * attackRamp(i);
    }
    return out;
}

std::vector<float> snare(const DrumKit& kit, uint32_t seed) {
    auto out = buffer(kit.snareDecay * 3.0f);
    Oscillator tone, overtone;
    Noise noise(seed);
    CoarseNoise chip(seed, 3);
    StateVariableFilter snap;
    snap.set(kit.snareSnap, 0.3f);
    for (size_t i = 0; i < out.size(); ++i) {
        float t = float(i) / kSampleRate;
        tone.setFrequency(kit.snareTone * (1.0f + 0.4f * std::exp(-t / 0.01f)));
        overtone.setFrequency(kit.snareTone * 1.6f);
        float body = (tone.next(Oscillator::Shape::Sine) + 0.5f * overtone.next(Oscillator::Shape::Sine)) *
                     std::exp(-t / 0.05f) * 0.6f;
        float n = kit.chipNoise ? chip.next() * 0.5f : snap.process(noise.next()).band * 2.5f;
        float rattle = n * std::exp(-t / (kit.snareDecay * 0.5f)) * kit.snareNoise;
        out[i] = softClip(body + rattle) * attackRamp(i);
    }
    return out;
}

std::vector<float> clap(uint32_t seed) {
    auto out = buffer(0.35f);
    Noise noise(seed);
    StateVariableFilter band;
    band.set(1400, 0.5f);
    for (size_t i = 0; i < out.size(); ++i) {
        float t = float(i) / kSampleRate;
        // Three quick slaps and a short room tail: many hands, not quite together.
        float bursts = 0;
        for (float start : {0.0f, 0.011f, 0.022f}) {
            if (t >= start) bursts += std::exp(-(t - start) / 0.006f);
        }
        float envelope = std::fmin(1.0f, bursts) * 0.8f + std::exp(-t / 0.08f) * 0.35f;
        out[i] = band.process(noise.next()).band * 2.2f * envelope * attackRamp(i);
    }
    return out;
}

std::vector<float> metallicNoise(const DrumKit& kit, uint32_t seed, float seconds, float decay, float brightness,
                                 float level) {
    auto out = buffer(seconds);
    Noise noise(seed);
    CoarseNoise chip(seed, 1);
    StateVariableFilter high, band;
    high.set(brightness, 0.2f);
    band.set(brightness * 1.3f, 0.4f);
    // Six square waves at inharmonic ratios give the metal ring under the hiss.
    const float ratios[] = {2.0f, 3.0f, 4.16f, 5.43f, 6.79f, 8.21f};
    Oscillator ring[6];
    for (int k = 0; k < 6; ++k) ring[k].setFrequency(205.3f * ratios[k]);
    for (size_t i = 0; i < out.size(); ++i) {
        float t = float(i) / kSampleRate;
        float metal = 0;
        for (auto& osc : ring) metal += osc.next(Oscillator::Shape::Square);
        float n = kit.chipNoise ? chip.next() : noise.next();
        float s = high.process(n * 0.7f + metal * 0.08f).high + band.process(n).band * 0.3f;
        out[i] = s * std::exp(-t / decay) * level * attackRamp(i);
    }
    return out;
}

std::vector<float> tom(float pitch, uint32_t seed) {
    auto out = buffer(0.45f);
    Oscillator body;
    Noise noise(seed);
    OnePole soft;
    soft.set(2500);
    for (size_t i = 0; i < out.size(); ++i) {
        float t = float(i) / kSampleRate;
        body.setFrequency(pitch * (1.0f + 0.6f * std::exp(-t / 0.04f)));
        float b = body.next(Oscillator::Shape::Sine) * std::exp(-t / 0.16f);
        float skin = soft.lowpass(noise.next()) * std::exp(-t / 0.01f) * 0.4f;
        out[i] = softClip(1.4f * (b + skin)) * attackRamp(i);
    }
    return out;
}

}  // namespace

std::vector<float> renderDrum(Drum drum, const DrumKit& kit, int variant) {
    const uint32_t seed = 0xD50u + uint32_t(drum) * 977u + uint32_t(variant) * 131u;
    switch (drum) {
        case Drum::Kick: return kick(kit, seed);
        case Drum::Snare: return snare(kit, seed);
        case Drum::Clap: return clap(seed);
        case Drum::ClosedHat: return metallicNoise(kit, seed, kit.hatDecay * 5, kit.hatDecay, kit.hatBright, 0.6f);
        case Drum::OpenHat: return metallicNoise(kit, seed, 0.5f, 0.14f, kit.hatBright, 0.5f);
        case Drum::Crash: return metallicNoise(kit, seed, 2.2f, 0.6f, kit.hatBright * 0.6f, 0.55f);
        case Drum::Ride: return metallicNoise(kit, seed, 0.9f, 0.3f, kit.hatBright * 1.2f, 0.3f);
        case Drum::HighTom: return tom(kit.tomPitch * 1.5f, seed);
        case Drum::LowTom: return tom(kit.tomPitch, seed);
        case Drum::Shaker: return metallicNoise(kit, seed, 0.08f, 0.02f, kit.hatBright * 1.4f, 0.35f);
        case Drum::Count: break;
    }
    return {};
}

}  // namespace datagen
