#pragma once
// The game's own sound mixer: any number of channels, each a sound with a position,
// a volume and a paused state, mixed into 16-bit stereo at the device's rate. The
// game thread works the channels while the audio thread mixes, so every member
// takes the one lock.
//
// Without a device the mixer keeps time instead of samples: a resumed channel is
// playing for as long as its sound lasts on the given clock, so the game behaves
// the same with no sound card at all.

#include <cstdint>
#include <functional>
#include <mutex>
#include <unordered_map>

#include "platform/platform.h"
#include "platform/sound.h"

class Mixer {
public:
    explicit Mixer(std::function<double()> clockMs);

    Channel cue(const SoundRef& sound);  // paused at the start; 0 for a null sound
    void setVolume(Channel channel, float volume);
    void resume(Channel channel);
    void stop(Channel channel);
    bool playing(Channel channel);
    void stopAll();
    int liveChannels();

    // Device side. A rate of 0 means no device: time is measured on the clock.
    void attachDevice(int rate);
    // Fills frames stereo frames (interleaved) and advances the playing channels.
    void mix(int16_t* out, int frames);

private:
    struct Voice {
        SoundRef sound;
        float volume = 1.0f;
        bool paused = true;
        double position = 0;     // source frames (device mode)
        double resumedAtMs = 0;  // clock when it started playing (clock mode)
    };
    double durationMs(const Voice& voice) const;
    double elapsedMs(const Voice& voice) const;
    // Adds the voice into the float buffer; false once the sound has ended.
    bool mixVoice(Voice& voice, float* accumulator, int frames);

    std::function<double()> clockMs_;
    std::mutex lock_;
    std::unordered_map<Channel, Voice> voices_;
    Channel nextChannel_ = 1;
    int deviceRate_ = 0;
    std::vector<float> accumulator_;
};

// The mixer behind CueSound and its companions; its clock is the backend's.
Mixer& soundMixer();
