// tumblebout-datagen OUTPUT_FOLDER [--only=pictures,font,sounds,track1,...]
// Writes the game's pictures, font, sounds and music into OUTPUT_FOLDER. Fails with
// a message (and exit code 1) when a file cannot be written, so the build stops.

#include <cstdio>
#include <string>

#include "tools/datagen/generate.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER [--only=pictures,font,sounds,track1,...]\n", argv[0]);
        return 2;
    }
    datagen::GenerateOptions options;
    if (argc == 3) {
        const std::string flag = argv[2];
        const std::string prefix = "--only=";
        if (flag.rfind(prefix, 0) != 0 || !datagen::parseParts(flag.substr(prefix.size()), options)) {
            std::fprintf(stderr, "tumblebout-datagen: unknown option %s\n", argv[2]);
            return 2;
        }
    }
    const std::string error = datagen::generateGameData(argv[1], options);
    if (!error.empty()) {
        std::fprintf(stderr, "tumblebout-datagen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
