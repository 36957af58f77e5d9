#pragma once
// Internal to the platform layer: the one global drawing state and the textured
// quad that DrawImage and DrawText share.

#include "platform/backend.h"
#include "platform/platform.h"

const DrawState& drawState();
const FontRef& currentImageFont();  // the font set by SetImageFont (null: built-in)
// Back to the state the display opens with: white, opaque, mask blend, no rotation,
// scale 1, built-in font.
void resetDrawState();
// Draws `image` with its handle at (x, y) through the current transform; with
// cullOffSurface, nothing when it lies wholly outside the surface (a text of a
// million characters then costs no quads past the screen's edge).
void drawTexturedQuad(const Image& image, float x, float y, bool cullOffSurface = false);
// Keeps one Text call for the recorder (DrawText is one call, not one per glyph).
void recordText(const std::string& text, float x, float y);
