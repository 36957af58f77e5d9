// RIFF WAVE PCM (8 or 16 bits, mono or stereo). Every size read from the header is
// checked against what the file actually holds.

#include <cstring>

#include "platform/sound.h"

namespace {

constexpr uint16_t formatPcm = 1, formatExtensible = 0xFFFE;
constexpr uint32_t maxRate = 384000;

uint32_t readU32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t readU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

struct WavFormat {
    uint16_t tag = 0, channels = 0, bits = 0;
    uint32_t rate = 0;
};

bool formatSupported(const WavFormat& f) {
    return (f.tag == formatPcm || f.tag == formatExtensible) && (f.channels == 1 || f.channels == 2) &&
           (f.bits == 8 || f.bits == 16) && f.rate > 0 && f.rate <= maxRate;
}

}  // namespace

std::shared_ptr<Sound> decodeWav(const std::vector<uint8_t>& bytes) {
    const size_t size = bytes.size();
    if (size < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return nullptr;
    WavFormat format;
    bool haveFormat = false;
    const uint8_t* data = nullptr;
    size_t dataSize = 0;
    size_t at = 12;
    while (at + 8 <= size) {
        const uint8_t* chunk = bytes.data() + at;
        const size_t declared = readU32(chunk + 4);
        const size_t available = size - at - 8;
        // A truncated last chunk keeps what is there.
        const size_t body = declared < available ? declared : available;
        if (std::memcmp(chunk, "fmt ", 4) == 0 && body >= 16) {
            format.tag = readU16(chunk + 8);
            format.channels = readU16(chunk + 10);
            format.rate = readU32(chunk + 12);
            format.bits = readU16(chunk + 22);
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0 && !data) {
            data = chunk + 8;
            dataSize = body;
        }
        if (declared >= available) break;
        at += 8 + declared + (declared & 1);  // chunks are padded to even sizes
    }
    if (!haveFormat || !data || !formatSupported(format)) return nullptr;

    auto sound = std::make_shared<Sound>();
    sound->rate = static_cast<int>(format.rate);
    sound->channels = format.channels;
    const size_t bytesPerFrame = static_cast<size_t>(format.channels) * (format.bits / 8);
    const size_t frames = dataSize / bytesPerFrame;
    if (frames == 0) return nullptr;
    sound->samples.resize(frames * format.channels);
    for (size_t i = 0; i < sound->samples.size(); ++i) {
        sound->samples[i] = format.bits == 8
                                ? static_cast<int16_t>((data[i] - 128) * 256)  // 8-bit is unsigned
                                : static_cast<int16_t>(readU16(data + i * 2));
    }
    return sound;
}
