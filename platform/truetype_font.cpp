// LoadImageFont: a TrueType face through FreeType, glyphs rasterised on first use.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/image_font.h"
#include "platform/platform.h"
#include "platform/regular_file.h"

namespace {

constexpr int smoothStyle = 4;
// Font files larger than this are not fonts the game could ship.
constexpr std::size_t maxFontBytes = std::size_t{64} << 20;
// A glyph more than this many times the pixel size across or down is damage, not
// design; it is skipped like a missing character rather than rasterised (a mutated
// font made one letter 2468 x 11819 pixels at size 200).
constexpr int maxGlyphSizes = 2;

FT_Library freetype() {
    // One library for the program's life; null if FreeType cannot start.
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        return FT_Init_FreeType(&lib) == 0 ? lib : nullptr;
    }();
    return library;
}

// Coverage 0..255 from any bitmap FreeType hands out: 8-bit grey as it is; 1-bit,
// 2-bit and 4-bit grey (packed several pixels to a byte), colour and upward-flowing
// bitmaps through FreeType's own converter.
bool readCoverage(const FT_Bitmap& bitmap, GlyphBitmap& out) {
    FT_Bitmap converted;
    FT_Bitmap_Init(&converted);
    const FT_Bitmap* grey = &bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.pitch < 0) {
        if (FT_Bitmap_Convert(freetype(), &bitmap, &converted, 1) != 0) {
            FT_Bitmap_Done(freetype(), &converted);
            return false;
        }
        grey = &converted;
    }
    const int levels = std::max(1, grey->num_grays - 1);
    out.width = static_cast<int>(grey->width);
    out.height = static_cast<int>(grey->rows);
    out.coverage.assign(static_cast<size_t>(out.width) * out.height, 0);
    for (int y = 0; y < out.height; ++y) {
        const unsigned char* row = grey->buffer + static_cast<ptrdiff_t>(y) * grey->pitch;
        for (int x = 0; x < out.width; ++x)
            out.coverage[static_cast<size_t>(y) * out.width + x] = static_cast<uint8_t>(std::min(255, row[x] * 255 / levels));
    }
    FT_Bitmap_Done(freetype(), &converted);
    return true;
}

class FreeTypeSource : public GlyphSource {
public:
    FreeTypeSource(FT_Face face, std::vector<uint8_t> fileBytes, int pixels, bool smooth)
        : face_(face), fileBytes_(std::move(fileBytes)), maxGlyphPixels_(maxGlyphSizes * pixels), smooth_(smooth) {}
    ~FreeTypeSource() override { FT_Done_Face(face_); }

    bool render(unsigned char c, GlyphBitmap& out) override {
        const FT_UInt index = FT_Get_Char_Index(face_, c);
        if (index == 0) return false;
        // Measured before rasterising, so a giant glyph costs no memory at all.
        if (FT_Load_Glyph(face_, index, smooth_ ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO) != 0) return false;
        const FT_GlyphSlot slot = face_->glyph;
        if (tooLarge(slot->metrics.width / 64, slot->metrics.height / 64)) return false;
        if (FT_Render_Glyph(slot, smooth_ ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0) return false;
        if (tooLarge(slot->bitmap.width, slot->bitmap.rows) || !readCoverage(slot->bitmap, out)) return false;
        const float ascender = face_->size->metrics.ascender / 64.0f;
        out.offsetX = static_cast<float>(slot->bitmap_left);
        out.offsetY = ascender - static_cast<float>(slot->bitmap_top);
        out.advance = static_cast<int>(slot->advance.x / 64);  // 26.6 fixed point, fraction dropped
        return true;
    }

private:
    bool tooLarge(long width, long height) const { return width > maxGlyphPixels_ || height > maxGlyphPixels_; }

    FT_Face face_;
    std::vector<uint8_t> fileBytes_;  // the face reads its tables from here
    long maxGlyphPixels_;
    bool smooth_;
};

}  // namespace

FontRef LoadImageFont(const std::string& path, int size, int style) {
    FT_Library library = freetype();
    std::vector<uint8_t> bytes;
    if (!library || size <= 0 || !readRegularFile(path, maxFontBytes, bytes)) return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(library, bytes.data(), static_cast<FT_Long>(bytes.size()), 0, &face) != 0) return nullptr;
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
    return makeImageFont(std::make_unique<FreeTypeSource>(face, std::move(bytes), pixels, smooth), height, flags);
}
