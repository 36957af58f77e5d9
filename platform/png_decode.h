#pragma once
// PNG decoding to RGBA, kept apart from the Image API so the loader and the tests
// share one decoder.

#include <cstdint>
#include <string>
#include <vector>

struct DecodedPng {
    int width = 0, height = 0;
    bool hadAlpha = false;      // the file carried an alpha channel or a tRNS chunk
    std::vector<uint8_t> rgba;  // width * height * 4, top row first
};

// False for a missing, empty, truncated or corrupt file, one that is not a regular
// file, or a picture more than 4096 pixels a side.
bool decodePngFile(const std::string& path, DecodedPng& out);
