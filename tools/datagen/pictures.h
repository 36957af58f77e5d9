#pragma once
// The game's pictures, painted in code. Each returns 8-bit RGBA, straight alpha.

#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

// 280 x 280 white square, alpha falling off over a few pixels at its edges: stretched,
// rotated and tinted, it draws the sticks and the robots' square parts.
Picture stickQuad();
// 280 x 280 white disc filling the picture, lightly shaded: the body nodes and blood drops.
Picture nodeDisc();
// 32 x 32 soft white glow for the additive plasma sparks.
Picture sparkGlow();
// 206 x 275 title logo of the splash screen: the emblem and the name below it.
Picture titleLogo(const std::string& fontPath);
// Square window icon of the given size: the emblem alone.
Picture emblemIcon(int size);

}  // namespace datagen
