#include "tools/datagen/instruments.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

constexpr int kControlInterval = 16;      // samples between filter updates
constexpr float kLongestTail = 4.0f;      // seconds of release kept at most

}  // namespace

StereoBuffer renderNote(const SynthPatch& patch, float midiNote, float velocity, float seconds, uint32_t seed) {
    const size_t held = size_t(std::max(0.0f, seconds) * kSampleRate);
    const size_t tail = size_t(std::min(kLongestTail, patch.amp.release * 7.0f) * kSampleRate);
    StereoBuffer out;
    out.resize(held + tail);

    Noise noise(seed * 2654435761u + 17u);
    const int voices = std::max(1, patch.unison);
    std::vector<Oscillator> main(voices), second(voices);
    std::vector<float> detune(voices), panLeft(voices), panRight(voices);
    for (int v = 0; v < voices; ++v) {
        float spread = voices == 1 ? 0.0f : float(v) / float(voices - 1) * 2.0f - 1.0f;  // -1..1
        detune[v] = spread * patch.detuneCents * 0.5f;
        float pan = 0.5f + 0.5f * spread * patch.stereoWidth;
        panLeft[v] = std::cos(pan * kPi * 0.5f);
        panRight[v] = std::sin(pan * kPi * 0.5f);
        // Free-running phases make the unison shimmer; seeded, so runs repeat.
        main[v].setPhase(float(noise.nextBits() % 1000) / 1000.0f);
        second[v].setPhase(float(noise.nextBits() % 1000) / 1000.0f);
    }
    const float voiceGain = 1.0f / std::sqrt(float(voices));

    Oscillator sub, modulator;
    float carrierPhase = 0, carrierIncrement = 0;
    Envelope amp(patch.amp), filterEnvelope(patch.filterEnvelope);
    StateVariableFilter filterLeft, filterRight;
    const float baseFrequency = noteFrequency(midiNote);
    const float keyFactor = std::pow(baseFrequency / 261.63f, patch.keyTracking);
    float vibratoPhase = 0;

    for (size_t i = 0; i < out.size(); ++i) {
        if (i == held) {
            amp.release();
            filterEnvelope.release();
        }
        const float t = float(i) / kSampleRate;
        const float envelope = amp.next();
        const float sweep = filterEnvelope.next();
        if (i >= held && envelope < 1e-4f) {
            out.resize(i);
            break;
        }

        // Pitch: scoop, then delayed vibrato.
        float cents = 0;
        if (patch.glideFromSemitones != 0) cents += patch.glideFromSemitones * 100.0f * std::exp(-t / patch.glideTime);
        if (patch.vibratoCents > 0 && t > patch.vibratoDelay) {
            float depth = std::min(1.0f, (t - patch.vibratoDelay) / 0.3f) * patch.vibratoCents;
            cents += depth * std::sin(vibratoPhase);
            vibratoPhase += 2.0f * kPi * patch.vibratoRate / kSampleRate;
        }

        if (i % kControlInterval == 0) {
            const float frequency = baseFrequency * std::exp2(cents / 1200.0f);
            for (int v = 0; v < voices; ++v) {
                main[v].setFrequency(frequency * std::exp2(detune[v] / 1200.0f));
                second[v].setFrequency(frequency * std::exp2((detune[v] + patch.secondSemitones * 100.0f) / 1200.0f));
            }
            sub.setFrequency(frequency * 0.5f);
            carrierIncrement = frequency / kSampleRate;
            modulator.setFrequency(frequency * patch.fmRatio);
            float cutoff = patch.cutoff * keyFactor * std::exp2(patch.filterSweepOctaves * sweep);
            filterLeft.set(cutoff, patch.resonance);
            filterRight.set(cutoff, patch.resonance);
        }

        float left = 0, right = 0;
        if (patch.fmIndex > 0) {
            float index = patch.fmSustainIndex + (patch.fmIndex - patch.fmSustainIndex) * std::exp(-t / patch.fmIndexDecay);
            float m = modulator.next(Oscillator::Shape::Sine);
            left = right = std::sin(2.0f * kPi * carrierPhase + index * m);
            carrierPhase += carrierIncrement;
            if (carrierPhase >= 1.0f) carrierPhase -= 1.0f;
        } else {
            for (int v = 0; v < voices; ++v) {
                float s = main[v].next(patch.shape, patch.pulseWidth);
                if (patch.secondLevel > 0) s += patch.secondLevel * second[v].next(patch.secondShape, patch.pulseWidth);
                s *= voiceGain;
                left += s * panLeft[v];
                right += s * panRight[v];
            }
        }
        if (patch.subLevel > 0) {
            float s = patch.subLevel * sub.next(Oscillator::Shape::Sine);
            left += s;
            right += s;
        }
        if (patch.cutoff < 20000 || patch.filterSweepOctaves != 0) {
            auto l = filterLeft.process(left), r = filterRight.process(right);
            left = l.low;
            right = r.low;
        }
        if (patch.drive > 0) {
            float gain = 1.0f + patch.drive * 8.0f;
            left = softClip(left * gain) / std::sqrt(gain);
            right = softClip(right * gain) / std::sqrt(gain);
        }
        const float gain = envelope * velocity * patch.level;
        out.left[i] = left * gain;
        out.right[i] = right * gain;
    }
    return out;
}

}  // namespace datagen
