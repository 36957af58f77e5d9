// One particle burst: start, per-frame motion and fade, colour drift and drawing.
#include "combat/dotburst.h"

#include <algorithm>

#include "game/Game.h"

namespace {
constexpr float FadePerFrame = 0.02f;   // alpha lost per frame: 51 frames from 1.0 to off
constexpr float ParticleGravity = 0.04f;  // world units per frame squared
constexpr float DropSize = 3.0f;
}  // namespace

// Each colour component walks by 2 a frame, turns about once in 100 frames and
// bounces off the ends of 0..255.
void dotburst::driftColour() {
    for (int c = 0; c <= 2; ++c) {
        if (Rnd(0, 1000) > 990) colourStep[c] = -colourStep[c];
        if (colour[c] > 253) colourStep[c] = -2;
        if (colour[c] < 2) colourStep[c] = 2;
        colour[c] += colourStep[c];
    }
}

void dotburst::start(float x, float y, float vx, float vy, int count, int kind, float speed, int yellow,
                     int spread) {
    this->yellow = yellow;
    this->kind = kind;
    // A hand-edited BLOOD option can ask for more than the arrays hold; never write past them.
    this->count = std::clamp(count, 0, MaxParticles);
    for (int c = 0; c <= 2; ++c) colour[c] = Rand(0, 255);
    active = 1;
    alpha = 1.0f;
    size = DropSize;
    for (int i = 1; i <= this->count; ++i) {
        float angle = RndFloat() * 360;
        // One draw serves both the distance from the centre and the speed, so the
        // outer particles are the fast ones; a negative speed flies the opposite way.
        float r = RndFloat();
        float s = r * speed * 2 - speed;
        float cosA = Cos(angle), sinA = Sin(angle);
        xs[i] = x + cosA * spread * r;
        ys[i] = y + sinA * spread * r;
        vxs[i] = vx + s * cosA;
        vys[i] = vy + s * sinA;
    }
}

// No time step: bursts keep their full speed during slow motion.
void dotburst::update() {
    driftColour();
    alpha -= FadePerFrame;
    for (int i = 1; i <= count; ++i) {
        xs[i] += vxs[i];
        ys[i] += vys[i];
        vys[i] += ParticleGravity;
    }
    if (!(alpha > 0)) active = 0;
}

void dotburst::draw(const Game& game) const {
    const float camX = game.cameraX, camY = game.cameraY, zoom = game.zoom;
    if (kind == BurstPlasma) SetBlend(4);
    SetAlpha(alpha);
    SetColor(222, 0, 0);
    if (yellow) SetColor(255, 255, 0);
    if (kind == BurstPlasma) SetColor(colour[0], colour[1], colour[2]);

    if (kind == BurstBlood) {
        const float side = size * 2 * zoom;
        // The node picture is about 280 pixels across; 300 keeps a drop just under size * 2.
        const float dropScale = side / 300;
        for (int i = 1; i <= count; ++i) {
            float sx = projectX(xs[i], camX, zoom), sy = projectY(ys[i], camY, zoom);
            if (yellow) {
                DrawRect(sx, sy, side, side);
            } else {
                SetScale(dropScale, dropScale);
                DrawImage(game.ballImage, sx, sy);
                SetScale(1, 1);
            }
        }
    } else {
        // The spark keeps its top-left handle: shift by half its size to centre it.
        const int halfW = ImageWidth(game.sparkImage) / 2;
        const int halfH = ImageHeight(game.sparkImage) / 2;
        for (int i = 1; i <= count; ++i) {
            float sx = projectX(xs[i] - halfW, camX, zoom), sy = projectY(ys[i] - halfH, camY, zoom);
            SetScale(zoom, zoom);
            DrawImage(game.sparkImage, sx, sy);
            SetScale(1, 1);
        }
    }
    SetAlpha(1.0f);
    SetBlend(3);
}
