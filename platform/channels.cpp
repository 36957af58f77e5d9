// The game's channel operations, all served by the one mixer.

#include "platform/mixer.h"

Channel CueSound(const SoundRef& sound) { return soundMixer().cue(sound); }
void SetChannelVolume(Channel channel, float volume) { soundMixer().setVolume(channel, volume); }
void ResumeChannel(Channel channel) { soundMixer().resume(channel); }
void StopChannel(Channel channel) { soundMixer().stop(channel); }
int ChannelPlaying(Channel channel) { return soundMixer().playing(channel) ? 1 : 0; }
