#pragma once
// Rasterises a line of text with FreeType into a coverage mask, for the logo.

#include <string>
#include <vector>

namespace datagen {

struct TextMask {
    int width = 0, height = 0;
    std::vector<float> coverage;  // width * height, 0..1
};

// Renders `text` at `pixelSize` into a mask of the canvas size, its ink box centred
// horizontally on `centreX` with the baseline at `baseline`; `tracking` adds pixels
// between letters. Returns an empty mask (width 0) if the font cannot be read.
TextMask renderText(const std::string& fontPath, const std::string& text, int pixelSize, int canvasWidth,
                    int canvasHeight, float centreX, float baseline, float tracking);

}  // namespace datagen
