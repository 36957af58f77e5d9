#pragma once
// The inside of an image font: a glyph source (FreeType face or the built-in bitmap
// font) and the glyphs rendered from it on first use.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/font.h"
#include "platform/image.h"

// One rendered character before it becomes an Image.
struct GlyphBitmap {
    int width = 0, height = 0;
    std::vector<uint8_t> coverage;  // width * height, 0..255, top row first
    float offsetX = 0, offsetY = 0;
    int advance = 0;
};

class GlyphSource {
public:
    virtual ~GlyphSource() = default;
    // False when the font has no glyph for the character.
    virtual bool render(unsigned char c, GlyphBitmap& out) = 0;
};

struct ImageFont {
    int height = 0;          // line height in whole pixels
    int glyphImageFlags = 0; // flags of the glyph images (filtered + mipmapped when smooth)
    std::unique_ptr<GlyphSource> source;

    // Per character: not rendered yet, rendered, or known to be missing.
    enum class Slot : uint8_t { Unknown, Present, Missing };
    std::array<Slot, 256> slots{};
    std::array<Glyph, 256> glyphs{};
    std::array<std::unique_ptr<Image>, 256> images{};
};

// Wraps a source into a font whose glyphs are made on first use.
FontRef makeImageFont(std::unique_ptr<GlyphSource> source, int height, int glyphImageFlags);
