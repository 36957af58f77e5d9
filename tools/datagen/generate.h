#pragma once
// Writes the game's data files into a folder: images/, sounds/ and music/, and the
// desktop's icons in icons/hicolor/.

#include <string>
#include <vector>

namespace datagen {

// Pixel sizes of the desktop icons, icons/hicolor/NxN/apps/tumblebout.png (the build
// names them).
constexpr int kIconSizes[] = {TUMBLEBOUT_ICON_SIZES};

struct GenerateOptions {
    bool pictures = true;          // images/*.png and the icons
    bool font = true;              // images/font.ttf and its licence
    bool sounds = true;            // sounds/*.wav
    std::vector<int> tracks{1, 2, 3, 4};  // music/ttN.ogg
};

// Returns an error message naming what could not be written, or "" on success.
std::string generateGameData(const std::string& outputDir, const GenerateOptions& options);

// Reads options of the form "pictures,font,sounds,track1,..."; false on a word it
// does not know.
bool parseParts(const std::string& list, GenerateOptions& options);

}  // namespace datagen
