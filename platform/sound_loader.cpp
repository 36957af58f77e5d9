// LoadSound: the file's first bytes pick the decoder.

#include <cstring>
#include <memory>

#include "platform/platform.h"
#include "platform/regular_file.h"
#include "platform/sound.h"

namespace {

constexpr std::size_t maxWavBytes = std::size_t{1} << 30;
constexpr int loopFlag = 1;

// The first four bytes of a regular file, or "" when there are fewer.
std::string magicOf(const std::string& path) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(openRegularFile(path, "rb"), std::fclose);
    char magic[4];
    if (!file || std::fread(magic, 1, 4, file.get()) != 4) return "";
    return std::string(magic, 4);
}

}  // namespace

SoundRef LoadSound(const std::string& path, int flags) {
    const std::string magic = magicOf(path);
    SoundRef sound;
    if (magic == "OggS") {
        sound = decodeOggFile(path);
    } else if (magic == "RIFF") {
        std::vector<uint8_t> bytes;
        if (readRegularFile(path, maxWavBytes, bytes)) sound = decodeWav(bytes);
    }
    if (sound) sound->loop = (flags & loopFlag) != 0;
    return sound;
}
