#include "tools/datagen/text_raster.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>
#include <cmath>

namespace datagen {

namespace {

struct PlacedGlyph {
    std::vector<unsigned char> bitmap;
    int width = 0, rows = 0, pitch = 0;
    int left = 0, top = 0;  // bitmap position relative to the pen and baseline
    float penX = 0;
};

}  // namespace

TextMask renderText(const std::string& fontPath, const std::string& text, int pixelSize, int canvasWidth,
                    int canvasHeight, float centreX, float baseline, float tracking) {
    TextMask mask;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return mask;
    FT_Face face = nullptr;
    if (FT_New_Face(library, fontPath.c_str(), 0, &face) != 0 || FT_Set_Pixel_Sizes(face, 0, pixelSize) != 0) {
        FT_Done_FreeType(library);
        return mask;
    }

    std::vector<PlacedGlyph> glyphs;
    float pen = 0;
    int inkLeft = INT_MAX, inkRight = INT_MIN;
    for (unsigned char c : text) {
        if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0) continue;
        FT_GlyphSlot slot = face->glyph;
        PlacedGlyph g;
        g.width = int(slot->bitmap.width);
        g.rows = int(slot->bitmap.rows);
        g.pitch = slot->bitmap.pitch;
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.penX = pen;
        g.bitmap.assign(slot->bitmap.buffer, slot->bitmap.buffer + size_t(g.rows) * std::abs(g.pitch));
        if (g.width > 0) {
            inkLeft = std::min(inkLeft, int(pen) + g.left);
            inkRight = std::max(inkRight, int(pen) + g.left + g.width);
        }
        pen += float(slot->advance.x) / 64.0f + tracking;
        glyphs.push_back(std::move(g));
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    if (inkLeft > inkRight) return mask;

    mask.width = canvasWidth;
    mask.height = canvasHeight;
    mask.coverage.assign(size_t(canvasWidth) * canvasHeight, 0.0f);
    int shiftX = int(std::lround(centreX - (inkLeft + inkRight) / 2.0f));
    int base = int(std::lround(baseline));
    for (const PlacedGlyph& g : glyphs) {
        for (int row = 0; row < g.rows; ++row) {
            int y = base - g.top + row;
            if (y < 0 || y >= canvasHeight) continue;
            for (int col = 0; col < g.width; ++col) {
                int x = shiftX + int(g.penX) + g.left + col;
                if (x < 0 || x >= canvasWidth) continue;
                float c = g.bitmap[size_t(row) * std::abs(g.pitch) + col] / 255.0f;
                float& cell = mask.coverage[size_t(y) * canvasWidth + x];
                cell = std::min(1.0f, cell + c);
            }
        }
    }
    return mask;
}

}  // namespace datagen
