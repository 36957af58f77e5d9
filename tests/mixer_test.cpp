// The mixer: volumes, sums and clipping, channel lifetime, resampling, and time kept
// on the clock when there is no sound device.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/headless.h"
#include "platform/mixer.h"
#include "platform/platform.h"

namespace {

SoundRef makeSound(int rate, int channels, std::vector<int16_t> samples) {
    auto sound = std::make_shared<Sound>();
    sound->rate = rate;
    sound->channels = channels;
    sound->samples = std::move(samples);
    return sound;
}

SoundRef constantSound(int rate, int frames, int16_t value) {
    return makeSound(rate, 1, std::vector<int16_t>(frames, value));
}

// Stereo output of the given number of frames.
std::vector<int16_t> mixFrames(Mixer& mixer, int frames) {
    std::vector<int16_t> out(frames * 2, 12345);
    mixer.mix(out.data(), frames);
    return out;
}

Channel play(Mixer& mixer, const SoundRef& sound, float volume) {
    const Channel channel = mixer.cue(sound);
    mixer.setVolume(channel, volume);
    mixer.resume(channel);
    return channel;
}

}  // namespace

TEST(Mixer, VolumeScalesAndChannelsSumAndClip) {
    Mixer mixer([] { return 0.0; });
    mixer.attachDevice(44100);
    play(mixer, constantSound(44100, 100, 16000), 0.5f);
    std::vector<int16_t> out = mixFrames(mixer, 10);
    EXPECT_EQ(out[0], 8000);  // 16000 * 0.5, both ears
    EXPECT_EQ(out[1], 8000);

    play(mixer, constantSound(44100, 100, 6000), 1.0f);
    out = mixFrames(mixer, 10);
    EXPECT_EQ(out[0], 14000);

    // Volumes beyond 0..1 are held to it.
    const Channel loud = play(mixer, constantSound(44100, 100, 30000), 5.0f);
    out = mixFrames(mixer, 10);
    EXPECT_EQ(out[0], 32767);  // 8000 + 6000 + 30000 clipped
    mixer.setVolume(loud, -1.0f);
    EXPECT_EQ(mixFrames(mixer, 1)[0], 14000);

    Mixer negative([] { return 0.0; });
    negative.attachDevice(44100);
    play(negative, constantSound(44100, 10, -30000), 1.0f);
    play(negative, constantSound(44100, 10, -30000), 1.0f);
    EXPECT_EQ(mixFrames(negative, 1)[0], -32767);
}

TEST(Mixer, StereoKeepsItsSidesAndMonoFillsBoth) {
    Mixer mixer([] { return 0.0; });
    mixer.attachDevice(22050);
    play(mixer, makeSound(22050, 2, {1000, -2000, 3000, -4000}), 1.0f);
    const std::vector<int16_t> out = mixFrames(mixer, 3);
    EXPECT_EQ(out, (std::vector<int16_t>{1000, -2000, 3000, -4000, 0, 0}));
}

TEST(Mixer, FinishedStoppedAndPausedChannels) {
    Mixer mixer([] { return 0.0; });
    mixer.attachDevice(44100);
    const Channel ends = play(mixer, constantSound(44100, 100, 1000), 1.0f);
    std::vector<int16_t> out = mixFrames(mixer, 150);
    EXPECT_EQ(out[99 * 2], 1000);
    EXPECT_EQ(out[100 * 2], 0);  // silence after the end
    EXPECT_FALSE(mixer.playing(ends));
    EXPECT_EQ(mixer.liveChannels(), 0);  // freed

    // Cued but never resumed: silent, not playing, still there.
    const Channel paused = mixer.cue(constantSound(44100, 100, 1000));
    EXPECT_EQ(mixFrames(mixer, 10)[0], 0);
    EXPECT_FALSE(mixer.playing(paused));
    EXPECT_EQ(mixer.liveChannels(), 1);
    mixer.resume(paused);
    EXPECT_TRUE(mixer.playing(paused));
    EXPECT_EQ(mixFrames(mixer, 10)[0], 1000);

    mixer.stop(paused);
    EXPECT_FALSE(mixer.playing(paused));
    EXPECT_EQ(mixFrames(mixer, 10)[0], 0);
    // The stale handle is ignored; new channels get new handles.
    mixer.resume(paused);
    mixer.setVolume(paused, 1.0f);
    EXPECT_FALSE(mixer.playing(paused));
    const Channel next = mixer.cue(constantSound(44100, 100, 1000));
    EXPECT_NE(next, paused);
    EXPECT_NE(next, ends);
    EXPECT_EQ(mixer.cue(nullptr), 0);
    EXPECT_EQ(mixer.cue(constantSound(44100, 0, 0)), 0);
}

TEST(Mixer, ResamplesLinearlyToTheDeviceRate) {
    Mixer mixer([] { return 0.0; });
    mixer.attachDevice(44100);
    // 22050 Hz into 44100 Hz: every source frame lasts two device frames.
    const Channel channel = play(mixer, makeSound(22050, 1, {0, 1000, -1000, 2000}), 1.0f);
    std::vector<int16_t> out = mixFrames(mixer, 7);
    const std::vector<int16_t> left = {out[0], out[2], out[4], out[6], out[8], out[10], out[12]};
    EXPECT_EQ(left, (std::vector<int16_t>{0, 500, 1000, 0, -1000, 500, 2000}));
    EXPECT_TRUE(mixer.playing(channel));
    mixFrames(mixer, 1);  // the held last frame
    EXPECT_FALSE(mixer.playing(channel));

    const Channel longer = play(mixer, constantSound(22050, 1000, 100), 1.0f);
    mixFrames(mixer, 1999);
    EXPECT_TRUE(mixer.playing(longer));
    mixFrames(mixer, 1);
    EXPECT_FALSE(mixer.playing(longer));  // exactly twice as many frames
}

TEST(Mixer, WithoutADeviceChannelsLastTheirSoundOnTheClock) {
    double now = 500;
    Mixer mixer([&] { return now; });
    const SoundRef second = constantSound(22050, 22050, 1000);  // one second long
    const Channel channel = mixer.cue(second);
    now += 5000;  // waiting while cued does not count
    EXPECT_FALSE(mixer.playing(channel));
    mixer.resume(channel);
    now += 999;
    EXPECT_TRUE(mixer.playing(channel));
    now += 1;
    EXPECT_FALSE(mixer.playing(channel));
    EXPECT_EQ(mixer.liveChannels(), 0);

    // A looping sound never runs out.
    second->loop = true;
    const Channel looping = mixer.cue(second);
    mixer.resume(looping);
    now += 60000;
    EXPECT_TRUE(mixer.playing(looping));
}

TEST(Mixer, GameChannelsFollowTheHeadlessClock) {
    headless::start();
    soundMixer().stopAll();
    const SoundRef second = constantSound(44100, 44100, 1000);
    EXPECT_EQ(CueSound(nullptr), 0);
    const Channel channel = CueSound(second);
    ASSERT_NE(channel, 0);
    SetChannelVolume(channel, 0.3f);
    EXPECT_EQ(ChannelPlaying(channel), 0);
    ResumeChannel(channel);
    for (int frame = 0; frame < 59; ++frame) Flip();
    EXPECT_EQ(ChannelPlaying(channel), 1);  // 983 ms in
    Flip();
    EXPECT_EQ(ChannelPlaying(channel), 0);  // 1000 ms: over

    const Channel stopped = CueSound(second);
    ResumeChannel(stopped);
    StopChannel(stopped);
    EXPECT_EQ(ChannelPlaying(stopped), 0);
    headless::stop();
}

TEST(Mixer, ChannelWorkWhileTheDeviceMixesIsSafe) {
    Mixer mixer([] { return 0.0; });
    mixer.attachDevice(48000);
    std::atomic<bool> done{false};
    std::thread device([&] {
        std::vector<int16_t> out(512 * 2);
        while (!done) mixer.mix(out.data(), 512);
    });
    const SoundRef sound = constantSound(44100, 300, 500);
    for (int i = 0; i < 3000; ++i) {
        const Channel channel = play(mixer, sound, 0.5f);
        if (i % 2) mixer.stop(channel);
    }
    done = true;
    device.join();
    mixFrames(mixer, 48000);  // everything left runs out
    EXPECT_EQ(mixer.liveChannels(), 0);
}
