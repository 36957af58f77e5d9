// Glyph lookup shared by every image font: render on first use, then keep.

#include "platform/image_font.h"

#include <utility>

FontRef makeImageFont(std::unique_ptr<GlyphSource> source, int height, int glyphImageFlags) {
    auto font = std::make_shared<ImageFont>();
    font->height = height;
    font->glyphImageFlags = glyphImageFlags;
    font->source = std::move(source);
    return font;
}

namespace {

// A white picture whose alpha is the glyph's coverage, so the drawing colour tints it.
std::unique_ptr<Image> coverageImage(const GlyphBitmap& bitmap, int flags) {
    auto image = std::make_unique<Image>();
    image->width = bitmap.width;
    image->height = bitmap.height;
    image->flags = flags;
    image->rgba.resize(static_cast<size_t>(bitmap.width) * bitmap.height * 4);
    for (size_t i = 0; i < bitmap.coverage.size(); ++i) {
        image->rgba[i * 4 + 0] = image->rgba[i * 4 + 1] = image->rgba[i * 4 + 2] = 255;
        image->rgba[i * 4 + 3] = bitmap.coverage[i];
    }
    return image;
}

}  // namespace

const Glyph* fontGlyph(const FontRef& font, unsigned char c) {
    if (!font || !font->source) return nullptr;
    ImageFont& f = *font;
    if (f.slots[c] == ImageFont::Slot::Unknown) {
        GlyphBitmap bitmap;
        if (!f.source->render(c, bitmap)) {
            f.slots[c] = ImageFont::Slot::Missing;
        } else {
            Glyph& glyph = f.glyphs[c];
            glyph.offsetX = bitmap.offsetX;
            glyph.offsetY = bitmap.offsetY;
            glyph.advance = bitmap.advance;
            if (bitmap.width > 0 && bitmap.height > 0) {
                f.images[c] = coverageImage(bitmap, f.glyphImageFlags);
                glyph.image = f.images[c].get();
            }
            f.slots[c] = ImageFont::Slot::Present;
        }
    }
    return f.slots[c] == ImageFont::Slot::Present ? &f.glyphs[c] : nullptr;
}

int fontHeight(const FontRef& font) { return font ? font->height : 0; }
