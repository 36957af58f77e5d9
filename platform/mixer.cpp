#include "platform/mixer.h"

#include <algorithm>
#include <cmath>

#include "platform/backend.h"

Mixer::Mixer(std::function<double()> clockMs) : clockMs_(std::move(clockMs)) {}

Channel Mixer::cue(const SoundRef& sound) {
    if (!sound || sound->frames() == 0) return 0;
    std::lock_guard<std::mutex> guard(lock_);
    const Channel channel = nextChannel_;
    // Handles are never reused (wrapping after 2^31 cues), so a stale one finds nothing.
    nextChannel_ = nextChannel_ == INT32_MAX ? 1 : nextChannel_ + 1;
    voices_[channel].sound = sound;
    return channel;
}

void Mixer::setVolume(Channel channel, float volume) {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = voices_.find(channel);
    if (it != voices_.end()) it->second.volume = std::clamp(volume, 0.0f, 1.0f);
}

void Mixer::resume(Channel channel) {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = voices_.find(channel);
    if (it == voices_.end() || !it->second.paused) return;
    it->second.paused = false;
    it->second.resumedAtMs = clockMs_();
}

void Mixer::stop(Channel channel) {
    std::lock_guard<std::mutex> guard(lock_);
    voices_.erase(channel);
}

void Mixer::stopAll() {
    std::lock_guard<std::mutex> guard(lock_);
    voices_.clear();
}

int Mixer::liveChannels() {
    std::lock_guard<std::mutex> guard(lock_);
    return static_cast<int>(voices_.size());
}

double Mixer::durationMs(const Voice& voice) const {
    return voice.sound->frames() * 1000.0 / voice.sound->rate;
}

double Mixer::elapsedMs(const Voice& voice) const {
    // A channel is only ever paused before it first plays (there is no pause call).
    return voice.paused ? 0.0 : clockMs_() - voice.resumedAtMs;
}

bool Mixer::playing(Channel channel) {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = voices_.find(channel);
    if (it == voices_.end()) return false;
    Voice& voice = it->second;
    if (deviceRate_ == 0 && !voice.sound->loop && elapsedMs(voice) >= durationMs(voice)) {
        voices_.erase(it);  // finished on the clock: free it like the device would
        return false;
    }
    return !voice.paused;
}

void Mixer::attachDevice(int rate) {
    std::lock_guard<std::mutex> guard(lock_);
    deviceRate_ = std::max(rate, 0);
}

bool Mixer::mixVoice(Voice& voice, float* accumulator, int frames) {
    const Sound& sound = *voice.sound;
    const int16_t* s = sound.samples.data();
    const int length = sound.frames();
    const double step = static_cast<double>(sound.rate) / deviceRate_;
    const float gain = voice.volume / 32768.0f;
    for (int i = 0; i < frames; ++i) {
        int at = static_cast<int>(voice.position);
        if (at >= length) {
            if (!sound.loop) return false;
            voice.position -= length;
            at = static_cast<int>(voice.position);
        }
        // Linear interpolation towards the next frame (the last frame holds).
        const float t = static_cast<float>(voice.position - at);
        const int next = at + 1 < length ? at + 1 : (sound.loop ? 0 : at);
        float left, right;
        if (sound.channels == 2) {
            left = s[at * 2] + (s[next * 2] - s[at * 2]) * t;
            right = s[at * 2 + 1] + (s[next * 2 + 1] - s[at * 2 + 1]) * t;
        } else {
            left = right = s[at] + (s[next] - s[at]) * t;
        }
        accumulator[i * 2] += left * gain;
        accumulator[i * 2 + 1] += right * gain;
        voice.position += step;
    }
    return sound.loop || voice.position < length;
}

void Mixer::mix(int16_t* out, int frames) {
    std::lock_guard<std::mutex> guard(lock_);
    accumulator_.assign(static_cast<size_t>(frames) * 2, 0.0f);
    if (deviceRate_ > 0) {
        for (auto it = voices_.begin(); it != voices_.end();) {
            Voice& voice = it->second;
            if (!voice.paused && !mixVoice(voice, accumulator_.data(), frames))
                it = voices_.erase(it);
            else
                ++it;
        }
    }
    for (size_t i = 0; i < accumulator_.size(); ++i) {
        const float v = std::clamp(accumulator_[i], -1.0f, 1.0f) * 32767.0f;
        out[i] = static_cast<int16_t>(std::lrint(v));
    }
}

Mixer& soundMixer() {
    // Never destroyed: the audio device's thread may still call mix() while the
    // program's statics are torn down at exit.
    static Mixer& mixer = *new Mixer([] { return hasBackend() ? currentBackend().milliseconds() : 0.0; });
    return mixer;
}
