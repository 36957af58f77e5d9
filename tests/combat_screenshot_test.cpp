// One match frame rendered for real (offscreen OpenGL): the grey frame lies outside
// the arena's walls and the fighters stand where their nodes say.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>

#include "game/Game.h"
#include "platform/headless.h"

namespace {

namespace fs = std::filesystem;

std::array<int, 3> pixel(int x, int y) {
    unsigned char rgba[4] = {};
    EXPECT_TRUE(headless::readPixel(x, y, rgba));
    return {rgba[0], rgba[1], rgba[2]};
}

bool greyBetween(const std::array<int, 3>& p, int low, int high) {
    return std::abs(p[0] - p[1]) <= 3 && std::abs(p[1] - p[2]) <= 3 && p[0] >= low && p[0] <= high;
}

}  // namespace

TEST(CombatScreenshot, MatchFrameShowsTheFrameAndTheFighters) {
    headless::start({.offscreenGL = true});
    ASSERT_TRUE(Graphics(1024, 768));
    Cls();
    Flip();
    unsigned char probe[4];
    if (!headless::readPixel(0, 0, probe)) GTEST_SKIP() << "no offscreen OpenGL here";

    // The game as start-up leaves it, with the generated pictures beside the tests.
    Game g;
    g.dataFolder = fs::read_symlink("/proc/self/exe").parent_path().string();
    AutoImageFlags(7);
    g.quadImage = LoadImage(g.dataPath("images/quad280.png"));
    MidHandleImage(g.quadImage);
    g.ballImage = LoadImage(g.dataPath("images/ballimage280.png"));
    MidHandleImage(g.ballImage);
    g.sparkImage = LoadImage(g.dataPath("images/spark.png"));
    ASSERT_TRUE(g.ballImage && g.quadImage && g.sparkImage);
    g.setDefaultOptions();
    g.musicVolume = 0;
    g.soundVolume = 0;
    SetBlend(3);
    g.gameMode = "1";
    g.level = 1;

    // Play the first 130 frames of level 1 (past the two-second fade-in), then look at the last one.
    constexpr int ShownFrame = 130;
    headless::setFrameHook([](int presented) {
        if (presented >= ShownFrame + 1) throw ProgramEnd{0};  // +1: the probe frame above
    });
    EXPECT_THROW(g.playMatch(), ProgramEnd);
    headless::setFrameHook(nullptr);

    // The camera of the shown frame is still in place: the arena's floor on the screen.
    const int B = nearestInt(projectY(g.arenaFloor, g.cameraY, g.zoom));
    const int L = nearestInt(projectX(g.arenaLeft, g.cameraX, g.zoom));
    const int R = nearestInt(projectX(g.arenaRight, g.cameraX, g.zoom));
    ASSERT_LT(B, 760) << "the floor is off the screen";
    int grey = 0, sampled = 0;
    for (int y = B + 3; y < 768; y += 4) {
        for (int x = std::max(L, 0) + 2; x < std::min(R, 1024) - 2; x += 8) {
            ++sampled;
            grey += pixel(x, y) == std::array<int, 3>{112, 112, 112};
        }
    }
    ASSERT_GT(sampled, 0);
    // Only the grid's light lines cross the frame.
    EXPECT_GT(grey, sampled * 8 / 10) << grey << " of " << sampled;
    // Just above the floor it is the dark room, not the frame.
    EXPECT_NE(pixel(std::clamp(512, L + 4, R - 4), B - 3), (std::array<int, 3>{112, 112, 112}));

    // Each fighter's nodes show its own grey: player 1 light (175), the enemy dark (65).
    const std::array<std::pair<int, int>, 3> bands = {{{0, 0}, {140, 185}, {45, 72}}};
    for (int f = 1; f <= 2; ++f) {
        int matching = 0;
        for (int k = 1; k <= NodeCount; ++k) {
            const ball& n = g.fighters[f].nodes[k];
            const int sx = static_cast<int>(projectX(n.x, g.cameraX, g.zoom));
            const int sy = static_cast<int>(projectY(n.y, g.cameraY, g.zoom));
            if (sx < 0 || sx >= 1024 || sy < 0 || sy >= 768) continue;
            matching += greyBetween(pixel(sx, sy), bands[f].first, bands[f].second);
        }
        EXPECT_GE(matching, 13) << "fighter " << f;
    }
    headless::start();
}
