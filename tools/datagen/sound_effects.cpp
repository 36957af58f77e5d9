#include "tools/datagen/sound_effects.h"

#include <cmath>

#include "tools/datagen/dsp.h"

namespace datagen {

namespace {

constexpr float kBlowPeakDb = -1.0f;
constexpr float kBlockPeakDb = -1.5f;

std::vector<float> silence(float seconds) { return std::vector<float>(size_t(seconds * kSampleRate), 0.0f); }

}  // namespace

std::vector<float> blowSound() {
    std::vector<float> out = silence(0.24f);
    Noise noise(0xB10Bu);
    Oscillator thump, body;
    StateVariableFilter crackFilter, slapFilter;
    crackFilter.set(2600.0f, 0.35f);
    slapFilter.set(5200.0f, 0.1f);
    OnePole dcBlock;
    dcBlock.set(25.0f);
    float thumpPhaseOffset = 0.25f;  // start the sine at its crest: a hard first push
    thump.setPhase(thumpPhaseOffset);
    for (size_t i = 0; i < out.size(); ++i) {
        float t = float(i) / kSampleRate;
        // Low thump: a sine falling from 150 Hz to 48 Hz, the weight of the hit.
        thump.setFrequency(48.0f + 102.0f * std::exp(-t / 0.035f));
        float thumpLevel = std::exp(-t / 0.075f) * std::fmin(1.0f, t / 0.0015f);
        float low = thump.next(Oscillator::Shape::Sine) * thumpLevel;
        // Body: a quick mid-range knock around 230 Hz, the flesh of the hit.
        body.setFrequency(180.0f + 120.0f * std::exp(-t / 0.02f));
        float mid = body.next(Oscillator::Shape::Triangle) * std::exp(-t / 0.03f) * 0.45f;
        // Crack: band-passed noise that dies in a few tens of milliseconds.
        float n = noise.next();
        float crack = crackFilter.process(n).band * std::exp(-t / 0.018f) * 2.2f;
        float slap = slapFilter.process(n).high * std::exp(-t / 0.006f) * 0.8f;
        float mixed = 1.1f * low + mid + crack + slap;
        out[i] = dcBlock.highpass(softClip(mixed * 1.6f));
    }
    fadeOutTail(out, 0.02f);
    normalisePeak(out, decibelsToGain(kBlowPeakDb));
    return out;
}

std::vector<float> blockSound() {
    std::vector<float> out = silence(0.11f);
    Noise noise(0xB10Cu);
    // Two resonant modes of a hard body, struck by a click and a short noise burst.
    StateVariableFilter modeA, modeB, hiss;
    modeA.set(820.0f, 0.96f);
    modeB.set(1730.0f, 0.95f);
    hiss.set(3800.0f, 0.2f);
    Oscillator knock;
    OnePole dcBlock;
    dcBlock.set(40.0f);
    for (size_t i = 0; i < out.size(); ++i) {
        float t = float(i) / kSampleRate;
        float n = noise.next();
        float strike = (i < 40 ? 1.0f - float(i) / 40.0f : 0.0f) * (n * 0.5f + 0.5f);
        float a = modeA.process(strike).band * std::exp(-t / 0.030f);
        float b = modeB.process(strike).band * std::exp(-t / 0.020f) * 0.8f;
        float h = hiss.process(n).high * std::exp(-t / 0.004f) * 0.35f;
        knock.setFrequency(240.0f + 80.0f * std::exp(-t / 0.01f));
        float low = knock.next(Oscillator::Shape::Sine) * std::exp(-t / 0.018f) * 0.35f;
        out[i] = dcBlock.highpass(softClip(a * 6.0f + b * 6.0f + h + low));
    }
    fadeOutTail(out, 0.015f);
    normalisePeak(out, decibelsToGain(kBlockPeakDb));
    return out;
}

}  // namespace datagen
