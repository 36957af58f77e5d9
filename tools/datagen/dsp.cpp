#include "tools/datagen/dsp.h"

#include <algorithm>

namespace datagen {

float noteFrequency(float midiNote) { return 440.0f * std::pow(2.0f, (midiNote - 69.0f) / 12.0f); }
float decibelsToGain(float db) { return std::pow(10.0f, db / 20.0f); }
float gainToDecibels(float gain) { return 20.0f * std::log10(std::max(gain, 1e-9f)); }

uint32_t Noise::nextBits() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

float Noise::next() { return float(nextBits() >> 8) / float(1 << 23) - 1.0f; }

namespace {

// Residual of a unit step at phase 0, spread over one sample on each side.
float polyBlep(float t, float dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0f;
    }
    if (t > 1.0f - dt) {
        t = (t - 1.0f) / dt;
        return t * t + t + t + 1.0f;
    }
    return 0.0f;
}

}  // namespace

float Oscillator::next(Shape shape, float pulseWidth) {
    float t = phase_, dt = increment_, out = 0;
    switch (shape) {
        case Shape::Sine:
            out = std::sin(2.0f * kPi * t);
            break;
        case Shape::Saw:
            out = 2.0f * t - 1.0f - polyBlep(t, dt);
            break;
        case Shape::Square:
        case Shape::Triangle: {
            out = t < pulseWidth ? 1.0f : -1.0f;
            out += polyBlep(t, dt);
            float shifted = t - pulseWidth + (t < pulseWidth ? 1.0f : 0.0f);
            out -= polyBlep(shifted, dt);
            if (shape == Shape::Triangle) {
                // A leaky integral of the square is a band-limited triangle.
                triangleState_ = dt * 4.0f * out + (1.0f - dt * 0.5f) * triangleState_;
                out = triangleState_;
            }
            break;
        }
    }
    phase_ += dt;
    if (phase_ >= 1.0f) phase_ -= 1.0f;
    return out;
}

void StateVariableFilter::set(float cutoffHz, float resonance) {
    cutoffHz = std::clamp(cutoffHz, 20.0f, kSampleRate * 0.45f);
    g_ = std::tan(kPi * cutoffHz / kSampleRate);
    k_ = 2.0f - 2.0f * std::clamp(resonance, 0.0f, 0.98f);
    a1_ = 1.0f / (1.0f + g_ * (g_ + k_));
    a2_ = g_ * a1_;
    a3_ = g_ * a2_;
}

StateVariableFilter::Out StateVariableFilter::process(float x) {
    float v3 = x - s2_;
    float v1 = a1_ * s1_ + a2_ * v3;
    float v2 = s2_ + a2_ * s1_ + a3_ * v3;
    s1_ = 2.0f * v1 - s1_;
    s2_ = 2.0f * v2 - s2_;
    return {v2, v1, x - k_ * v1 - v2};
}

Envelope::Envelope(const EnvelopeShape& shape) : shape_(shape) {
    attackStep_ = 1.0f / std::max(1.0f, shape.attack * kSampleRate);
    decayCoefficient_ = std::exp(-1.0f / std::max(1.0f, shape.decay * kSampleRate));
    releaseCoefficient_ = std::exp(-1.0f / std::max(1.0f, shape.release * kSampleRate));
}

float Envelope::next() {
    if (releasing_) {
        level_ *= releaseCoefficient_;
    } else if (attacking_) {
        level_ += attackStep_;
        if (level_ >= 1.0f) {
            level_ = 1.0f;
            attacking_ = false;
        }
    } else {
        level_ = shape_.sustain + (level_ - shape_.sustain) * decayCoefficient_;
    }
    return level_;
}

float peakOf(const std::vector<float>& samples) {
    float peak = 0;
    for (float s : samples) peak = std::max(peak, std::fabs(s));
    return peak;
}

void normalisePeak(std::vector<float>& samples, float peak) {
    float current = peakOf(samples);
    if (current <= 0) return;
    float gain = peak / current;
    for (float& s : samples) s *= gain;
}

void fadeOutTail(std::vector<float>& samples, float seconds, int channels) {
    size_t frames = samples.size() / channels;
    size_t fadeFrames = std::min(frames, size_t(seconds * kSampleRate));
    for (size_t i = 0; i < fadeFrames; ++i) {
        size_t frame = frames - fadeFrames + i;
        float gain = 1.0f - float(i + 1) / float(fadeFrames);
        for (int c = 0; c < channels; ++c) samples[frame * channels + c] *= gain;
    }
}

}  // namespace datagen
