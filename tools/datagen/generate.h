#pragma once
// Writes the game's data files into a folder: images/, sounds/ and music/.

#include <string>
#include <vector>

namespace datagen {

struct GenerateOptions {
    bool pictures = true;          // images/*.png
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
