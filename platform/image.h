#pragma once
// A decoded picture. Pixels stay in memory; the renderer makes its texture on first
// draw, so pictures can be loaded before the display exists.

#include <cstdint>
#include <memory>
#include <vector>

struct Image {
    int width = 0, height = 0;
    float handleX = 0, handleY = 0;  // drawn at the position, rotates about it
    int flags = 0;                   // MASKEDIMAGE | FILTEREDIMAGE | MIPMAPPEDIMAGE
    std::vector<uint8_t> rgba;       // width * height * 4, top row first
    mutable std::shared_ptr<void> texture;  // renderer-owned, made on first draw
};
