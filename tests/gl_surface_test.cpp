// The renderer's two surfaces, read back offscreen: the fast one (a BGRA texture with a
// viewport far past its edges) that this machine's GL accepts, and the plain fallback,
// forced here as a driver that refuses the fast one would force it. Both must show
// the same picture: colours in the right order, shapes cut at the screen's edge, and
// the game's bursts the same, particle for particle.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "game/Game.h"
#include "platform/gl_renderer.h"
#include "platform/headless.h"

namespace {

namespace fs = std::filesystem;

using Pixels = std::vector<unsigned char>;

// Headless with offscreen OpenGL on a surface of the given kind; null without GL.
GlRenderer* startOn(SurfaceKind kind) {
    GlRenderer::preferSurface(kind);
    headless::start({.offscreenGL = true});
    if (!Graphics(1024, 768)) return nullptr;
    return dynamic_cast<GlRenderer*>(currentBackend().renderer());
}

Pixels presented() {
    Pixels rgba(1024 * 768 * 4);
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) EXPECT_TRUE(headless::readPixel(x, y, &rgba[(y * 1024 + x) * 4]));
    return rgba;
}

class GlSurfaces : public ::testing::Test {
protected:
    void TearDown() override {
        GlRenderer::preferSurface(SurfaceKind::Fast);
        headless::start();
    }
};

// Flat rectangles: one inside, one across the left edge, one wholly above the screen.
Pixels rectangles() {
    Cls();
    SetBlend(2);
    SetColor(200, 50, 10);
    DrawRect(100, 100, 20, 10);
    SetColor(10, 60, 220);
    DrawRect(-3000, 300, 3010, 10);  // reaches past the wide viewport: the clipper cuts it
    DrawRect(-10, 320, 14, 10);
    DrawRect(500, -40, 10, 20);
    SetColor(255, 255, 255);
    Flip();
    return presented();
}

// A frame of bursts as a fight draws them: a full blood burst spilling over the left
// edge, a robot's yellow squares and plasma sparks, all through the game's own drawing.
Pixels bursts() {
    Game g;
    g.dataFolder = fs::read_symlink("/proc/self/exe").parent_path().string();
    AutoImageFlags(7);
    g.ballImage = LoadImage(g.dataPath("images/ballimage280.png"));
    MidHandleImage(g.ballImage);
    g.sparkImage = LoadImage(g.dataPath("images/spark.png"));
    EXPECT_TRUE(g.ballImage && g.sparkImage);
    g.cameraX = 0;
    g.cameraY = 0;
    g.zoom = 1.3f;
    SeedRnd(2024);
    g.bursts[1].start(-390, 0, -1, 0, 300, BurstBlood, 3.0f, 0, 30);
    g.bursts[2].start(100, 50, 0, 0, 300, BurstBlood, 3.0f, 1, 20);
    g.bursts[3].start(-50, -100, 0, 0, 20, BurstPlasma, 2.0f, 0, 0);
    FrameEvents events;
    for (int frame = 0; frame < 12; ++frame) {
        Cls();
        SetBlend(3);
        events.clear();
        g.updateBursts(events);
        g.drawBursts(events.picture);
        Flip();
    }
    return presented();
}

int channelAt(const Pixels& p, int x, int y, int c) { return p[(y * 1024 + x) * 4 + c]; }

}  // namespace

TEST_F(GlSurfaces, ForcedFallbackIsPlainAndShowsTheSameColoursAndEdges) {
    for (SurfaceKind kind : {SurfaceKind::Fast, SurfaceKind::Plain}) {
        GlRenderer* gl = startOn(kind);
        if (!gl) GTEST_SKIP() << "no offscreen OpenGL here";
        // This machine's GL takes the fast surface; the fallback is only ever forced.
        ASSERT_EQ(gl->surfaceKind(), kind);
        const Pixels p = rectangles();
        const char* which = kind == SurfaceKind::Fast ? "fast" : "plain";
        // Read back red first, whatever order the surface keeps.
        EXPECT_EQ(channelAt(p, 110, 105, 0), 200) << which;
        EXPECT_EQ(channelAt(p, 110, 105, 1), 50) << which;
        EXPECT_EQ(channelAt(p, 110, 105, 2), 10) << which;
        EXPECT_EQ(channelAt(p, 110, 105, 3), 255) << which;
        // Cut at the edge, not dropped: pixels 0..9 of the far-reaching one, 0..3 of the short one.
        EXPECT_EQ(channelAt(p, 0, 305, 2), 220) << which;
        EXPECT_EQ(channelAt(p, 9, 305, 2), 220) << which;
        EXPECT_EQ(channelAt(p, 10, 305, 2), 0) << which;
        EXPECT_EQ(channelAt(p, 3, 325, 2), 220) << which;
        EXPECT_EQ(channelAt(p, 4, 325, 2), 0) << which;
        EXPECT_EQ(channelAt(p, 505, 0, 2), 0) << which;  // the one above the screen draws nothing
    }
}

TEST_F(GlSurfaces, BurstsLookTheSameOnBothSurfaces) {
    if (!startOn(SurfaceKind::Fast)) GTEST_SKIP() << "no offscreen OpenGL here";
    const Pixels fast = bursts();
    ASSERT_TRUE(startOn(SurfaceKind::Plain));
    const Pixels plain = bursts();

    int lit = 0, differing = 0, worst = 0, edgeDrops = 0;
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x) {
            int d = 0;
            for (int c = 0; c < 3; ++c) d = std::max(d, std::abs(channelAt(fast, x, y, c) - channelAt(plain, x, y, c)));
            lit += channelAt(plain, x, y, 0) > 40;
            differing += d > 3;
            worst = std::max(worst, d);
            edgeDrops += x == 0 && channelAt(plain, x, y, 0) > 40;
        }
    }
    // Thousands of pixels of drops, squares and sparks, some of the drops cut by the edge.
    EXPECT_GT(lit, 3000);
    EXPECT_GT(edgeDrops, 3);
    // The fast surface sets a drop up as one rectangle instead of two triangles; the
    // rounding of its texture coordinates may move a pixel by a few levels, no more.
    EXPECT_LE(differing, 2) << "worst difference " << worst;
}
