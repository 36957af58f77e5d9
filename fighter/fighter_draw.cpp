// Fighter drawing: 25 stretched quads (sticks) and 26 tinted discs (nodes) in a fixed
// back-to-front order. Every change of rotation, scale, colour or alpha made here is
// set back (0, 1, white, 1) before returning.

#include <array>
#include <cmath>

#include "game/Game.h"

namespace {

// Walked from the last entry to the first. A positive entry n is node n; an entry -k
// or 0 is stick k. Back to front: upper arms, hips and spine, neck and head, first arm,
// second arm, second leg, first leg, with the first foot's stick on top.
constexpr std::array<int, 51> DrawOrder{
    -23, 25, 1, 2, 0, 3, -1, 4, -2, 5, -3, -24, 26, 11, 10, -9, 9, -8, 8, -7, 7, -6, -22, 24, 23, 22,
    -21, 21, -20, -18, 20, 19, 18, -17, 17, -16, 16, 15, -14, 14, -13, 13, -12, 12, -11, 6, -4, -5,
    -10, -15, -19,
};

constexpr int FirstForearmStick = 18;   // nodes 19-20
constexpr int SecondForearmStick = 22;  // nodes 23-24

constexpr Colour DamageTint{0, 255, 0, 0};
constexpr Colour RobotDamageTint{0, 255, 255, 0};
constexpr Colour HitFlash{0, 222, 0, 0};
constexpr Colour RobotHitFlash{0, 255, 255, 0};

// The quad picture is 280 pixels across: these stretch it to a length and to a
// thickness of four times the stick width.
constexpr float QuadLengthScale = 0.0035714286f;  // 1 / 280
constexpr float QuadWidthScale = 0.014285714f;    // 1 / 70

// The node a robot's square part is turned towards; 0 for nodes drawn as discs.
int squareNeighbour(int index) {
    switch (index) {
        case 16: return 15;
        case 20: return 19;
        case 24: return 23;
        case 25: return 1;
        case 26: return 11;
        default: return 0;
    }
}

}  // namespace

void man::draw(const Game& game, float alpha) const {
    // The forearms slide from the body colour to the damage tint as energy runs out.
    const float f = 1.0f - energy / maxEnergy;
    const Colour& tint = isRobot ? RobotDamageTint : DamageTint;
    Colour forearm{};
    for (int c = 1; c <= 3; ++c) {
        const float body = static_cast<float>(colour[c]);
        forearm[c] = static_cast<int>(body - body * f + f * static_cast<float>(tint[c]));
    }

    SetAlpha(alpha);
    for (auto entry = DrawOrder.rbegin(); entry != DrawOrder.rend(); ++entry) {
        if (*entry > 0) {
            nodes[*entry].draw(game, *this, colour);
        } else if (!knockedOut) {
            const int k = -*entry;
            const bool isForearm = k == FirstForearmStick || k == SecondForearmStick;
            drawStick(game, k, isForearm ? forearm : colour);
        }
    }
    // The last entry is a stick, which leaves its colour set.
    SetColor(255, 255, 255);
    SetAlpha(1.0f);
}

void man::drawStick(const Game& game, int k, const Colour& stickColour) const {
    const float zoom = game.zoom;
    const ball& a = nodes[sticks[k][0]];
    const ball& b = nodes[sticks[k][1]];
    SetColor(stickColour[1], stickColour[2], stickColour[3]);
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    const float length = Sqr(dx * dx + dy * dy);
    const float ax = projectX(a.x, game.cameraX, zoom), ay = projectY(a.y, game.cameraY, zoom);
    const float bx = projectX(b.x, game.cameraX, zoom), by = projectY(b.y, game.cameraY, zoom);
    SetRotation(ATan2(dy, dx));
    // Stretch the quad to the stick's length and to 4 * stickWidth * zoom pixels.
    SetScale(length * zoom * QuadLengthScale, stickWidth * zoom * QuadWidthScale);
    DrawImage(game.quadImage, (ax + bx) / 2.0f, (ay + by) / 2.0f, 0);
    SetScale(1.0f, 1.0f);
    SetRotation(0.0f);
}

void ball::draw(const Game& game, const man& owner, const Colour& colour) const {
    const float zoom = game.zoom;
    const Colour& flash = owner.isRobot ? RobotHitFlash : HitFlash;
    const float sx = projectX(x, game.cameraX, zoom);
    const float sy = projectY(y, game.cameraY, zoom);
    // A linear mix from the flash colour (timer 60) back to the body colour (timer 0);
    // the body part is divided as integers, the flash part in floating point.
    std::array<int, 4> shown{};
    for (int c = 1; c <= 3; ++c) {
        shown[c] = static_cast<int>(static_cast<float>(colour[c] - colour[c] * hitTimer / 60) +
                                    static_cast<float>(hitTimer * flash[c]) / 60.0f);
    }
    SetColor(shown[1], shown[2], shown[3]);
    if (owner.isRobot && squareNeighbour(index) != 0) {
        drawSquare(game, owner);
    } else {
        const float discScale = 2.0f * size * zoom / 300.0f;
        SetScale(discScale, discScale);
        DrawImage(game.ballImage, sx, sy, 0);
        SetScale(1.0f, 1.0f);
    }
    SetColor(255, 255, 255);
}

void ball::drawSquare(const Game& game, const man& owner) const {
    const float zoom = game.zoom;
    // A square of about the disc's area, turned along the limb it ends.
    const float side = size * 0.886f * 2.0f;
    const int neighbour = squareNeighbour(index);
    float dx = 0, dy = 0, d = 0;
    if (neighbour != 0) {
        const ball& n = owner.nodes[neighbour];
        dx = x - n.x;
        dy = y - n.y;
        d = Sqr(dx * dx + dy * dy);
    }
    float sx = projectX(x, game.cameraX, zoom);
    float sy = projectY(y, game.cameraY, zoom);
    float rotation = 0.0f;
    // With no direction (the part lies on its neighbour) it is drawn unrotated.
    if (d > 0.0f) {
        const float aheadX = projectX(x + radius * dx / d, game.cameraX, zoom);
        const float aheadY = projectY(y + radius * dy / d, game.cameraY, zoom);
        const float behindX = projectX(x - radius * dx / d, game.cameraX, zoom);
        const float behindY = projectY(y - radius * dy / d, game.cameraY, zoom);
        sx = (aheadX + behindX) / 2.0f;
        sy = (aheadY + behindY) / 2.0f;
        rotation = ATan2(dy, dx);
    }
    SetRotation(rotation);
    SetScale(side * zoom / 280.0f, side * zoom / 280.0f);
    DrawImage(game.quadImage, sx, sy, 0);
    SetScale(1.0f, 1.0f);
    SetRotation(0.0f);
}
