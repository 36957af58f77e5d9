#pragma once
// The melodic voices of the music: a small subtractive and FM synthesiser. A patch is
// plain data; renderNote plays one note of it into a fresh stereo buffer.

#include <cstdint>
#include <vector>

#include "tools/datagen/dsp.h"

namespace datagen {

struct StereoBuffer {
    std::vector<float> left, right;
    size_t size() const { return left.size(); }
    void resize(size_t frames) {
        left.resize(frames, 0.0f);
        right.resize(frames, 0.0f);
    }
};

struct SynthPatch {
    // Oscillators (ignored when fmIndex > 0: then a two-operator FM sine plays).
    Oscillator::Shape shape = Oscillator::Shape::Saw;
    float pulseWidth = 0.5f;
    int unison = 1;                // detuned copies, spread across the stereo field
    float detuneCents = 0;         // spread between the outermost copies
    float stereoWidth = 0.0f;      // 0 centre .. 1 hard left and right
    Oscillator::Shape secondShape = Oscillator::Shape::Square;
    float secondLevel = 0;         // second oscillator, for body or octave
    float secondSemitones = 0;
    float subLevel = 0;            // sine an octave below

    // Two-operator FM: modulator at fmRatio times the pitch, its index decaying.
    float fmRatio = 1, fmIndex = 0, fmIndexDecay = 0.3f, fmSustainIndex = 0;

    // Filter: cutoff in Hz plus an envelope sweep in octaves, following the pitch.
    float cutoff = 20000, resonance = 0, filterSweepOctaves = 0, keyTracking = 0;
    EnvelopeShape filterEnvelope{0.001f, 0.2f, 0.0f, 0.2f};

    EnvelopeShape amp{0.002f, 0.2f, 0.8f, 0.1f};
    float vibratoCents = 0, vibratoRate = 5.5f, vibratoDelay = 0.25f;
    float glideFromSemitones = 0, glideTime = 0.03f;  // a short scoop into the note
    float drive = 0;   // soft saturation amount before the amplifier
    float level = 1.0f;
};

// One note: `seconds` held, then released; the buffer holds the release tail too.
StereoBuffer renderNote(const SynthPatch& patch, float midiNote, float velocity, float seconds, uint32_t seed);

}  // namespace datagen
