// Ogg Vorbis through vorbisfile, decoded whole into 16-bit samples.

#include <vorbis/vorbisfile.h>

#include "platform/regular_file.h"
#include "platform/sound.h"

namespace {

// A track longer than this is refused as unreadable: a small file of silence can
// decode to hours, gigabytes and a frozen splash screen.
constexpr long maxTrackSeconds = 10 * 60;
// Above any rate Vorbis is used at; a larger one would make the length bound moot.
constexpr long maxRate = 192000;

}  // namespace

std::shared_ptr<Sound> decodeOggFile(const std::string& path) {
    std::FILE* input = openRegularFile(path, "rb");
    if (!input) return nullptr;
    OggVorbis_File file;
    if (ov_open(input, &file, nullptr, 0) != 0) {
        std::fclose(input);  // ov_open leaves the file open when it fails
        return nullptr;
    }
    const vorbis_info* info = ov_info(&file, -1);
    const ogg_int64_t declaredFrames = ov_pcm_total(&file, -1);
    if (!info || (info->channels != 1 && info->channels != 2) || info->rate <= 0 || info->rate > maxRate ||
        declaredFrames > maxTrackSeconds * info->rate) {
        ov_clear(&file);
        return nullptr;
    }
    auto sound = std::make_shared<Sound>();
    sound->rate = static_cast<int>(info->rate);
    sound->channels = info->channels;
    // The declared length may lie: the decoded one is bounded as well.
    const size_t maxSamples = static_cast<size_t>(maxTrackSeconds * info->rate * info->channels);
    char buffer[8192];
    int section = 0;
    while (true) {
        const long got = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section);
        if (got == OV_HOLE) continue;  // a gap in the stream: skip it, keep decoding
        if (got <= 0) break;           // end of stream, or damage beyond repair
        const auto* samples = reinterpret_cast<const int16_t*>(buffer);
        sound->samples.insert(sound->samples.end(), samples, samples + got / 2);
        if (sound->samples.size() > maxSamples) {
            ov_clear(&file);
            return nullptr;
        }
    }
    ov_clear(&file);
    // A damaged tail may leave half a frame.
    sound->samples.resize(sound->samples.size() - sound->samples.size() % sound->channels);
    if (sound->samples.empty()) return nullptr;
    return sound;
}
