#pragma once
// Mask-colour processing of pictures loaded without an alpha channel.

#include "platform/image.h"

// Pixels of the mask colour (black) become fully transparent and take the average
// colour of their non-black neighbours (of the eight around them), so that a filtered
// edge blends towards the picture's own colour instead of towards black. Other pixels
// become opaque.
void applyMaskColour(Image& image);
