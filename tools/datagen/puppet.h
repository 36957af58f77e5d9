#pragma once
// The game's emblem: a stick-figure puppet in a flying side kick, made of round
// nodes and sticks like the fighters, inside a ring. The logo and the icons share it.

#include "tools/datagen/canvas.h"

namespace datagen {

// Draws the emblem centred on (cx, cy); `radius` is the ring's outer radius.
void drawEmblem(Canvas& canvas, float cx, float cy, float radius);

}  // namespace datagen
