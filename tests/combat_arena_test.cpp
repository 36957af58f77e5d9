// The arena picture: frame rectangles, the ten grid layers, their colours and the
// lines skipped at the screen's edges, as recorded by the headless backend.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "game/Game.h"
#include "platform/headless.h"

namespace {

using headless::DrawCall;
using headless::DrawOp;
using RGB = std::tuple<int, int, int>;

RGB colourOf(const DrawCall& c) { return {c.r, c.g, c.b}; }
bool vertical(const DrawCall& c) { return c.op == DrawOp::Line && c.x == c.x2; }
bool horizontal(const DrawCall& c) { return c.op == DrawOp::Line && c.y == c.y2 && c.x != c.x2; }

class CombatArena : public ::testing::Test {
protected:
    Game g;

    void SetUp() override { headless::start(); }
    void TearDown() override { headless::stop(); }

    // The arena of a level with the given arena scale.
    void walls(float scale) {
        g.arenaRight = scale * 1024 / 2;
        g.arenaLeft = scale * -1024 / 2;
        g.arenaTop = scale * -768 / 2;
        g.arenaFloor = scale * 768 / 2;
    }
    // Drawn in the colour of the palette's third row.
    std::vector<DrawCall> draw() {
        g.drawArena(g.palette[3]);
        return headless::currentFrame();
    }
};

// Grid positions for the 3072 x 2304 arena, camera on its centre, zoom 0.3, per layer
// from the farthest (9) to the nearest (0).
const std::vector<std::vector<int>> WideArenaX = {
    {374, 429, 484, 540, 595, 650}, {337, 407, 477, 547, 617, 687}, {294, 381, 468, 556, 643, 730},
    {245, 352, 459, 565, 672, 779}, {192, 320, 448, 576, 704, 832}, {136, 286, 437, 587, 738, 888},
    {80, 253, 426, 598, 771, 944},  {27, 221, 415, 609, 803, 997},  {192, 405, 619, 832},
    {166, 397, 627, 858}};
const std::vector<std::vector<int>> WideArenaY = {
    {274, 329, 384, 439, 494}, {244, 314, 384, 454, 524}, {210, 297, 384, 471, 558},
    {170, 277, 384, 491, 598}, {128, 256, 384, 512, 640}, {83, 234, 384, 534, 685},
    {39, 211, 384, 557, 729},  {190, 384, 578},           {170, 384, 598},
    {153, 384, 615}};

}  // namespace

TEST_F(CombatArena, WideArenaAtZoom03) {
    walls(3.0f);
    g.zoom = 0.3f;
    g.palette[3] = {0, 200, 100, 50};
    const auto calls = draw();
    const int L = 51, T = 38, R = 973, B = 730;

    ASSERT_GE(calls.size(), 4u);
    const float frameRects[4][4] = {{L, B, R - L, 384}, {R, 0, 512, 768}, {L, 0, R - L, T}, {0, 0, L, 768}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(calls[i].op, DrawOp::Rect);
        EXPECT_EQ(calls[i].blend, 1);
        EXPECT_EQ(colourOf(calls[i]), RGB(112, 112, 112));
        EXPECT_EQ(std::make_tuple(calls[i].x, calls[i].y, calls[i].x2, calls[i].y2),
                  std::make_tuple(frameRects[i][0], frameRects[i][1], frameRects[i][2], frameRects[i][3]));
    }

    // Walk the lines layer by layer: each layer's verticals, then its horizontals, three
    // calls per line.
    size_t at = 4;
    for (size_t layer = 0; layer < WideArenaX.size(); ++layer) {
        for (int X : WideArenaX[layer]) {
            ASSERT_LT(at + 2, calls.size());
            const DrawCall &inside = calls[at], &above = calls[at + 1], &below = calls[at + 2];
            EXPECT_EQ(std::make_tuple(inside.x, inside.y, inside.x2, inside.y2), std::make_tuple(X, T, X, B));
            EXPECT_EQ(std::make_tuple(above.x, above.y, above.x2, above.y2), std::make_tuple(X, -1, X, T - 1));
            EXPECT_EQ(std::make_tuple(below.x, below.y, below.x2, below.y2), std::make_tuple(X, B, X, 768));
            EXPECT_EQ(inside.blend, 1);
            at += 3;
        }
        for (int Y : WideArenaY[layer]) {
            ASSERT_LT(at + 2, calls.size());
            const DrawCall &inside = calls[at], &left = calls[at + 1], &right = calls[at + 2];
            EXPECT_EQ(std::make_tuple(inside.x, inside.y, inside.x2, inside.y2), std::make_tuple(L, Y, R, Y));
            EXPECT_EQ(std::make_tuple(left.x, left.y, left.x2, left.y2), std::make_tuple(-1, Y, L - 1, Y));
            EXPECT_EQ(std::make_tuple(right.x, right.y, right.x2, right.y2), std::make_tuple(R, Y, 1024, Y));
            at += 3;
        }
    }
    EXPECT_EQ(at, calls.size());
    EXPECT_EQ(calls.size(), 4u + 300u);

    // Colours of the farthest layer: Int(palette * 1.5 * k) inside, and over the frame
    // Int(112 + C * 0.2).
    EXPECT_EQ(colourOf(calls[4]), RGB(16, 8, 4));
    EXPECT_EQ(colourOf(calls[5]), RGB(115, 113, 112));
    // The nearest layer: the last lines drawn.
    EXPECT_EQ(colourOf(calls[calls.size() - 3]), RGB(69, 34, 17));
    EXPECT_EQ(colourOf(calls[calls.size() - 2]), RGB(125, 118, 115));

    // Layer 2's outer verticals lie outside the walls (27 < L, 997 > R): drawn in the
    // frame tint also between ceiling and floor.
    for (const auto& c : calls) {
        if (!vertical(c) || c.y != T) continue;
        if (c.x == 27 || c.x == 997) {
            EXPECT_EQ(colourOf(c), RGB(123, 117, 114));
        }
        if (c.x == 221) {
            EXPECT_EQ(colourOf(c), RGB(58, 29, 14));
        }
    }

    // The blend goes back to alpha blending for what is drawn next.
    DrawRect(0, 0, 1, 1);
    EXPECT_EQ(headless::currentFrame().back().blend, 3);
}

TEST_F(CombatArena, LinesExactlyOnTheScreenEdgeAreSkipped) {
    walls(1.5f);  // 1536 x 1152
    g.zoom = 1.0f;  // the nearest layer then has k = 0.5: lines at 512 + (wx - cameraX) / 2
    for (auto [camX, camY, skippedX, keptX, skippedY, keptY] :
         {std::make_tuple(-476.0f, -732.0f, 0, 500, 0, 500), std::make_tuple(476.0f, 732.0f, 1024, 524, 768, 268)}) {
        g.cameraX = camX;
        g.cameraY = camY;
        headless::start();
        const auto calls = draw();
        bool keptVertical = false, keptHorizontal = false;
        for (const auto& c : calls) {
            if (vertical(c)) {
                EXPECT_NE(c.x, skippedX);
                keptVertical |= c.x == keptX;
            }
            if (horizontal(c) && c.x == -1) {
                EXPECT_NE(c.y, skippedY);
                keptHorizontal |= c.y == keptY;
            }
        }
        EXPECT_TRUE(keptVertical) << camX;
        EXPECT_TRUE(keptHorizontal) << camY;
    }
}

TEST_F(CombatArena, LinesOutsideTheWallsTakeTheFrameTint) {
    walls(3.0f);
    g.zoom = 0.3f;
    g.cameraX = 1000;  // the right wall comes in to x 673
    g.palette[3] = {0, 255, 255, 255};
    const auto calls = draw();
    int outside = 0, inside = 0;
    for (size_t i = 4; i < calls.size(); i += 3) {
        const DrawCall& c = calls[i];
        if (!vertical(c)) continue;
        const bool out = c.x > 673 || c.x < -249;
        const RGB C = colourOf(c);
        const RGB F = colourOf(calls[i + 1]);
        EXPECT_EQ(colourOf(calls[i + 2]), F);
        if (out) {
            EXPECT_EQ(C, F);
            ++outside;
        } else {
            EXPECT_NE(C, F);
            ++inside;
        }
        // The tint is always the frame grey lightened by a fifth of the line colour.
        EXPECT_GE(std::get<0>(F), 112);
        EXPECT_LE(std::get<0>(F), 112 + 51);
    }
    EXPECT_GT(outside, 0);
    EXPECT_GT(inside, 0);
}

TEST_F(CombatArena, BlackPaletteHidesTheGridInsideButNotOverTheFrame) {
    walls(3.0f);
    g.zoom = 0.3f;
    g.palette[3] = {0, 0, 0, 0};
    const auto calls = draw();
    for (size_t i = 4; i < calls.size(); i += 3) {
        // Layer 2's outermost verticals (x 27 and 997) lie over the frame.
        const bool overFrame = vertical(calls[i]) && (calls[i].x < 51 || calls[i].x > 973);
        EXPECT_EQ(colourOf(calls[i]), overFrame ? RGB(112, 112, 112) : RGB(0, 0, 0));
        EXPECT_EQ(colourOf(calls[i + 1]), RGB(112, 112, 112));
        EXPECT_EQ(colourOf(calls[i + 2]), RGB(112, 112, 112));
    }
}
