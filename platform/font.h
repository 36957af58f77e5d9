#pragma once
// Glyph lookup of an image font (TrueType via FreeType, or the built-in font), used
// by DrawText, TextWidth and TextHeight.

#include <string>

#include "platform/platform.h"

struct Image;

struct Glyph {
    const Image* image = nullptr;  // white, coverage in alpha; null for a blank glyph
    float offsetX = 0, offsetY = 0;  // from the pen: left bearing, ascender - top
    int advance = 0;                 // whole pixels
};

// The current font's glyph for a character (byte), or null when the font lacks it.
const Glyph* fontGlyph(const FontRef& font, unsigned char c);
int fontHeight(const FontRef& font);
// The built-in font, used until the game sets its own.
const FontRef& builtinFont();
