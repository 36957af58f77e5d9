#pragma once
// Signal building blocks for the sound effects and the music: noise, band-limited
// oscillators, filters and envelopes. Everything runs in single precision at 44.1 kHz.

#include <cmath>
#include <cstdint>
#include <vector>

namespace datagen {

constexpr int kSampleRate = 44100;
constexpr float kPi = 3.14159265358979f;

// Equal-tempered pitch of a MIDI note number (69 = A4 = 440 Hz).
float noteFrequency(float midiNote);
float decibelsToGain(float db);
float gainToDecibels(float gain);

// White noise from a fixed seed (xorshift), so every run gives the same samples.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed ? seed : 1) {}
    float next();  // -1..1
    uint32_t nextBits();

private:
    uint32_t state_;
};

// Naive waveforms with a polynomial band-limited step at each jump, so that high
// notes do not alias into noise.
class Oscillator {
public:
    enum class Shape { Sine, Saw, Square, Triangle };
    void setFrequency(float hz) { increment_ = hz / kSampleRate; }
    void setPhase(float phase) { phase_ = phase; }
    float next(Shape shape, float pulseWidth = 0.5f);

private:
    float phase_ = 0, increment_ = 0, triangleState_ = 0;
};

// Zero-delay-feedback state-variable filter (low, band and high pass at once).
class StateVariableFilter {
public:
    void set(float cutoffHz, float resonance);  // resonance 0..~0.95
    struct Out {
        float low, band, high;
    };
    Out process(float x);
    void reset() { s1_ = s2_ = 0; }

private:
    float g_ = 0, k_ = 2, a1_ = 1, a2_ = 0, a3_ = 0;
    float s1_ = 0, s2_ = 0;
};

// One-pole low pass; high pass is input minus the low pass.
class OnePole {
public:
    void set(float cutoffHz) { coefficient_ = 1.0f - std::exp(-2.0f * kPi * cutoffHz / kSampleRate); }
    float lowpass(float x) { return state_ += coefficient_ * (x - state_); }
    float highpass(float x) { return x - lowpass(x); }

private:
    float coefficient_ = 1, state_ = 0;
};

// Attack-decay-sustain-release envelope with exponential segments (times in seconds).
struct EnvelopeShape {
    float attack = 0.002f, decay = 0.1f, sustain = 1.0f, release = 0.05f;
};
class Envelope {
public:
    explicit Envelope(const EnvelopeShape& shape);
    void release() { releasing_ = true; }
    float next();

private:
    EnvelopeShape shape_;
    float level_ = 0, attackStep_, decayCoefficient_, releaseCoefficient_;
    bool attacking_ = true, releasing_ = false;
};

// Gentle saturation for warmth and punch.
inline float softClip(float x) { return std::tanh(x); }

// Scales a buffer so that its largest absolute sample equals `peak`.
void normalisePeak(std::vector<float>& samples, float peak);
float peakOf(const std::vector<float>& samples);
// Linear fade to silence over the last `seconds` of the buffer.
void fadeOutTail(std::vector<float>& samples, float seconds, int channels = 1);

}  // namespace datagen
