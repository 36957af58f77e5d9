#include "tools/datagen/generate.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/datagen/dsp.h"
#include "tools/datagen/mastering.h"
#include "tools/datagen/pictures.h"
#include "tools/datagen/png_file.h"
#include "tools/datagen/songs.h"
#include "tools/datagen/sound_effects.h"
#include "tools/datagen/wav_file.h"

namespace datagen {

namespace fs = std::filesystem;

namespace {

// Fixed stream serials (Ogg normally picks them at random) keep the files reproducible.
constexpr uint32_t kOggSerialBase = 0x7B0;

std::string makeFolder(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error || !fs::is_directory(folder)) return "cannot create folder " + folder.string();
    return {};
}

std::string savePicture(const fs::path& path, const Picture& picture) {
    return writePng(path.string(), picture.width, picture.height, picture.rgba);
}

// Writes the files' contents one after the other into `to`.
std::string copyFiles(std::initializer_list<const char*> from, const fs::path& to) {
    std::ostringstream content;
    for (const char* path : from) {
        std::ifstream in(path, std::ios::binary);
        if (!in) return std::string("cannot read ") + path;
        content << in.rdbuf();
    }
    std::ofstream out(to, std::ios::binary);
    const std::string bytes = content.str();
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    if (!out) return "cannot write " + to.string();
    return {};
}

std::string writePictures(const fs::path& images) {
    const std::pair<const char*, Picture> pictures[] = {
        {"quad280.png", stickQuad()},
        {"ballimage280.png", nodeDisc()},
        {"spark.png", sparkGlow()},
        {"205275.png", titleLogo(TUMBLEBOUT_FONT_PATH)},
        {"icon.png", emblemIcon(128)},  // the window's
    };
    for (const auto& [name, picture] : pictures) {
        if (std::string error = savePicture(images / name, picture); !error.empty()) return error;
    }
    return {};
}

// The desktop's icons, laid out as the hicolor theme installs them.
std::string writeIcons(const fs::path& hicolor) {
    for (int size : kIconSizes) {
        const std::string side = std::to_string(size);
        const fs::path apps = hicolor / (side + "x" + side) / "apps";
        if (std::string error = makeFolder(apps); !error.empty()) return error;
        if (std::string error = savePicture(apps / "tumblebout.png", emblemIcon(size)); !error.empty()) return error;
    }
    return {};
}

std::string writeSounds(const fs::path& sounds) {
    if (std::string error = writeWav((sounds / "blow.wav").string(), blowSound(), kSampleRate); !error.empty())
        return error;
    return writeWav((sounds / "block.wav").string(), blockSound(), kSampleRate);
}

std::string writeTrack(const fs::path& music, int track) {
    const fs::path path = music / ("tt" + std::to_string(track) + ".ogg");
    const Song& song = songByNumber(track);
    return writeMasteredTrack(path.string(), renderSong(song), kOggSerialBase + uint32_t(track), song.title);
}

}  // namespace

std::string generateGameData(const std::string& outputDir, const GenerateOptions& options) {
    const fs::path root(outputDir);
    for (const char* folder : {"images", "sounds", "music"}) {
        if (std::string error = makeFolder(root / folder); !error.empty()) return error;
    }
    if (options.pictures) {
        if (std::string error = writePictures(root / "images"); !error.empty()) return error;
        if (std::string error = writeIcons(root / "icons" / "hicolor"); !error.empty()) return error;
    }
    if (options.font) {
        if (std::string error = copyFiles({TUMBLEBOUT_FONT_PATH}, root / "images" / "font.ttf"); !error.empty())
            return error;
        if (std::string error = copyFiles({TUMBLEBOUT_FONT_LICENCE_PATH, TUMBLEBOUT_FONT_LICENCE_TEXT_PATH},
                                          root / "images" / "font-licence.txt");
            !error.empty())
            return error;
    }
    if (options.sounds) {
        if (std::string error = writeSounds(root / "sounds"); !error.empty()) return error;
    }
    for (int track : options.tracks) {
        if (track < 1 || track > kSongCount) return "no such track: " + std::to_string(track);
        if (std::string error = writeTrack(root / "music", track); !error.empty()) return error;
    }
    return {};
}

bool parseParts(const std::string& list, GenerateOptions& options) {
    options = GenerateOptions{false, false, false, {}};
    std::istringstream words(list);
    std::string word;
    while (std::getline(words, word, ',')) {
        if (word == "pictures") {
            options.pictures = true;
        } else if (word == "font") {
            options.font = true;
        } else if (word == "sounds") {
            options.sounds = true;
        } else if (word.rfind("track", 0) == 0 && word.size() == 6 && word[5] >= '1' && word[5] < '1' + kSongCount) {
            options.tracks.push_back(word[5] - '0');
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace datagen
