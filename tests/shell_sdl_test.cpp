// The real start-up on the SDL/OpenGL backend, offscreen: the game reaches its main
// menu and the title is drawn in the palette's title colour.
#include "shell_test_support.h"

#include <cstdlib>

#include "platform/backend.h"
#include "platform/sdl_backend.h"

using shelltest::makeTempFolder;
namespace fs = std::filesystem;

namespace {

struct StopRun {};

struct Rgb {
    int r, g, b;
};

// Pixels of the rectangle whose colour is within `tolerance` of `colour` on every channel.
int countNear(const std::vector<unsigned char>& pixels, int x0, int y0, int x1, int y1, Rgb colour,
              int tolerance) {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const unsigned char* p = &pixels[(static_cast<size_t>(y) * 1024 + x) * 4];
            if (std::abs(p[0] - colour.r) <= tolerance && std::abs(p[1] - colour.g) <= tolerance &&
                std::abs(p[2] - colour.b) <= tolerance) {
                ++count;
            }
        }
    }
    return count;
}

Rgb paletteColour(const Game& game, int row) {
    return {game.palette[row][1], game.palette[row][2], game.palette[row][3]};
}

bool bright(Rgb colour) { return colour.r + colour.g + colour.b > 150; }

}  // namespace

TEST(ShellSdl, RealStartUpReachesTheMenuWithAColouredTitle) {
    const fs::path root = makeTempFolder("sdl");
    for (const char* folder : {"home", "runtime", "work"}) fs::create_directories(root / folder);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("HOME", (root / "home").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (root / "runtime").c_str(), 1);
    const fs::path startFolder = fs::current_path();
    fs::current_path(root / "work");

    ASSERT_TRUE(installSdlBackend());
    Game game;
    game.dataFolder = TUMBLEBOUT_BUILD_DIR;
    std::vector<unsigned char> pixels(1024 * 768 * 4);
    int menuFrames = 0;
    bool captured = false;
    Rgb title{}, highlight{};
    headless::setFrameHook([&](int frames) {
        if (frames > 60 * 20) throw StopRun{};  // never hang: the splash takes 2 s
        if (game.screen != "menu") return;
        ++menuFrames;
        title = paletteColour(game, 1);
        highlight = paletteColour(game, 2);
        if (menuFrames < 30 || !bright(title) || !bright(highlight)) return;
        Renderer* renderer = currentBackend().renderer();
        captured = renderer != nullptr && renderer->readPixels(pixels.data());
        throw StopRun{};
    });
    EXPECT_THROW(game.run(), StopRun);
    headless::setFrameHook(nullptr);
    installBackend(nullptr);
    fs::current_path(startFolder);

    ASSERT_TRUE(captured) << "no frame of the menu was read back";
    // The title band (y 20 to about 140) holds glyph pixels in the title colour ...
    EXPECT_GT(countNear(pixels, 0, 20, 1024, 150, title, 3), 300);
    // ... and the selected entry, PLAY at y 180, the highlight colour.
    EXPECT_GT(countNear(pixels, 0, 180, 1024, 260, highlight, 3), 100);
    // The unselected entries are grey, the background black.
    EXPECT_GT(countNear(pixels, 0, 260, 1024, 340, Rgb{100, 100, 100}, 3), 100);
    EXPECT_EQ(countNear(pixels, 0, 0, 1024, 18, Rgb{0, 0, 0}, 0), 1024 * 18);
    EXPECT_TRUE(fs::exists(root / "work" / "prefs.tbt"));
    EXPECT_TRUE(fs::exists(root / "work" / "scores.txt"));
    std::error_code error;
    fs::remove_all(root, error);
}

TEST(ShellSdl, MilliSecsIsTheSystemsMillisecondCounter) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    ASSERT_TRUE(installSdlBackend());
    const int before = systemMilliSecs();
    const int now = MilliSecs();
    const int after = systemMilliSecs();
    installBackend(nullptr);
    // Not the time since the backend was made (which would seed nearly every start
    // alike), but the machine's own counter; compared across its wrap.
    EXPECT_LE(static_cast<uint32_t>(now) - static_cast<uint32_t>(before),
              static_cast<uint32_t>(after) - static_cast<uint32_t>(before));
    EXPECT_GT(static_cast<uint32_t>(now), 1000u);
}
