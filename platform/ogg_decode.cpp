// Ogg Vorbis through vorbisfile, decoded whole into 16-bit samples.

#include <vorbis/vorbisfile.h>

#include "platform/sound.h"

namespace {

// An hour of stereo at 48 kHz: more would be a damaged length, not music.
constexpr size_t maxSamples = size_t{48000} * 2 * 3600;

}  // namespace

std::shared_ptr<Sound> decodeOggFile(const char* path) {
    OggVorbis_File file;
    if (ov_fopen(path, &file) != 0) return nullptr;
    const vorbis_info* info = ov_info(&file, -1);
    if (!info || (info->channels != 1 && info->channels != 2) || info->rate <= 0) {
        ov_clear(&file);
        return nullptr;
    }
    auto sound = std::make_shared<Sound>();
    sound->rate = static_cast<int>(info->rate);
    sound->channels = info->channels;
    char buffer[8192];
    int section = 0;
    while (sound->samples.size() < maxSamples) {
        const long got = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section);
        if (got == OV_HOLE) continue;  // a gap in the stream: skip it, keep decoding
        if (got <= 0) break;           // end of stream, or damage beyond repair
        const auto* samples = reinterpret_cast<const int16_t*>(buffer);
        sound->samples.insert(sound->samples.end(), samples, samples + got / 2);
    }
    ov_clear(&file);
    // A damaged tail may leave half a frame.
    sound->samples.resize(sound->samples.size() - sound->samples.size() % sound->channels);
    if (sound->samples.empty()) return nullptr;
    return sound;
}
