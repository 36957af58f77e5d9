// LoadImageFont: a TrueType face through FreeType, glyphs rasterised on first use.

#include <ft2build.h>
#include FT_FREETYPE_H

#include "platform/image_font.h"
#include "platform/platform.h"

namespace {

constexpr int smoothStyle = 4;

FT_Library freetype() {
    // One library for the program's life; null if FreeType cannot start.
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        return FT_Init_FreeType(&lib) == 0 ? lib : nullptr;
    }();
    return library;
}

class FreeTypeSource : public GlyphSource {
public:
    FreeTypeSource(FT_Face face, bool smooth) : face_(face), smooth_(smooth) {}
    ~FreeTypeSource() override { FT_Done_Face(face_); }

    bool render(unsigned char c, GlyphBitmap& out) override {
        const FT_UInt index = FT_Get_Char_Index(face_, c);
        if (index == 0) return false;
        const FT_Int32 load = FT_LOAD_RENDER | (smooth_ ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO);
        if (FT_Load_Glyph(face_, index, load) != 0) return false;
        const FT_GlyphSlot slot = face_->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        out.width = static_cast<int>(bitmap.width);
        out.height = static_cast<int>(bitmap.rows);
        out.coverage.assign(static_cast<size_t>(out.width) * out.height, 0);
        for (int y = 0; y < out.height; ++y) {
            const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
            for (int x = 0; x < out.width; ++x) {
                const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
                const uint8_t value = mono ? ((row[x >> 3] >> (7 - (x & 7))) & 1) * 255 : row[x];
                out.coverage[static_cast<size_t>(y) * out.width + x] = value;
            }
        }
        const float ascender = face_->size->metrics.ascender / 64.0f;
        out.offsetX = static_cast<float>(slot->bitmap_left);
        out.offsetY = ascender - static_cast<float>(slot->bitmap_top);
        out.advance = static_cast<int>(slot->advance.x / 64);  // 26.6 fixed point, fraction dropped
        return true;
    }

private:
    FT_Face face_;
    bool smooth_;
};

}  // namespace

FontRef LoadImageFont(const std::string& path, int size, int style) {
    FT_Library library = freetype();
    if (!library || size <= 0) return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0) return nullptr;
    // A face with fixed sizes only refuses the others: take the next smaller one.
    int pixels = size;
    while (pixels > 0 && FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels)) != 0) --pixels;
    if (pixels == 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    const bool smooth = (style & smoothStyle) != 0;
    const int height = static_cast<int>(face->size->metrics.height / 64);
    const int flags = smooth ? FILTEREDIMAGE | MIPMAPPEDIMAGE : 0;
    return makeImageFont(std::make_unique<FreeTypeSource>(face, smooth), height, flags);
}
