// Text through the current image font: glyph images placed along a pen that starts
// at the top-left of the line and moves by each glyph's advance, all transformed by
// the current rotation and scale.

#include "platform/draw_state.h"
#include "platform/font.h"

namespace {

const FontRef& activeFont() {
    const FontRef& font = currentImageFont();
    return font ? font : builtinFont();
}

}  // namespace

void DrawText(const std::string& text, float x, float y) {
    const FontRef& font = activeFont();
    const DrawState& state = drawState();
    float penX = x, penY = y;
    for (char c : text) {
        const Glyph* glyph = fontGlyph(font, static_cast<unsigned char>(c));
        if (!glyph) continue;
        if (glyph->image) {
            // Whole pixels keep the glyphs of a line from blurring differently.
            float gx = penX + glyph->offsetX * state.ix + glyph->offsetY * state.iy;
            float gy = penY + glyph->offsetX * state.jx + glyph->offsetY * state.jy;
            drawTexturedQuad(*glyph->image, static_cast<float>(static_cast<int>(gx)),
                             static_cast<float>(static_cast<int>(gy)), true);
        }
        penX += glyph->advance * state.ix;
        penY += glyph->advance * state.jx;
    }
    recordText(text, x, y);
}

int TextWidth(const std::string& text) {
    const FontRef& font = activeFont();
    int width = 0;
    for (char c : text) {
        if (const Glyph* glyph = fontGlyph(font, static_cast<unsigned char>(c))) {
            width += glyph->advance;
        }
    }
    return width;
}

int TextHeight() { return fontHeight(activeFont()); }
