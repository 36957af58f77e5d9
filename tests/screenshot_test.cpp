// F12 screenshots: the name from the date and time, the key kept from the game, and
// the presented 1024 x 768 frame written as a PNG, on the real backend offscreen.

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <vector>

#include "loader_test_files.h"
#include "sdl_test_events.h"
#include "platform/backend.h"
#include "platform/headless.h"
#include "platform/input_state.h"
#include "platform/platform.h"
#include "platform/png_decode.h"
#include "platform/screenshot.h"
#include "platform/sdl_backend.h"

namespace fs = std::filesystem;

namespace {

constexpr int keyF12 = 123;

SDL_Event f12(Uint32 type) { return sdltest::keyEvent(type, SDL_SCANCODE_F12); }

std::vector<fs::path> filesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    if (!fs::exists(folder)) return files;
    for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

void drawTestFrame(int red) {
    Cls();
    SetBlend(2);
    SetColor(red, 40, 200);
    DrawRect(10, 20, 300, 100);
    SetColor(250, 250, 0);
    DrawRect(900, 700, 50, 30);
}

}  // namespace

TEST(ScreenshotName, DateTimeAndCopyNumber) {
    std::tm time{};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 11;
    time.tm_mday = 7;
    time.tm_hour = 9;
    time.tm_min = 5;
    time.tm_sec = 3;
    EXPECT_EQ(screenshotName(time, 1), "tumblebout-20261207-090503.png");
    EXPECT_EQ(screenshotName(time, 2), "tumblebout-20261207-090503-2.png");
    EXPECT_EQ(screenshotName(time, 12), "tumblebout-20261207-090503-12.png");
}

TEST(ScreenshotKey, OnlyF12IsTakenAndAShotWaitsForARequest) {
    const fs::path folder = testfiles::freshFolder("shots") / "screenshots";
    Screenshots shots(folder);
    SDL_Event other = f12(SDL_KEYDOWN);
    other.key.keysym.scancode = SDL_SCANCODE_F11;
    EXPECT_FALSE(shots.handleEvent(other));
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    EXPECT_FALSE(shots.handleEvent(text));
    EXPECT_TRUE(shots.handleEvent(f12(SDL_KEYUP)));  // taken, but no shot

    auto renderer = createOffscreenRenderer();
    if (!renderer) GTEST_SKIP() << "no offscreen GL context";
    shots.capture(*renderer);
    EXPECT_TRUE(shots.finish().empty());
    EXPECT_FALSE(fs::exists(folder));  // made only for a shot

    SDL_Event repeat = f12(SDL_KEYDOWN);
    repeat.key.repeat = 1;
    EXPECT_TRUE(shots.handleEvent(repeat));  // a held key's repeats take no shots
    shots.capture(*renderer);
    EXPECT_TRUE(shots.finish().empty());
}

TEST(ScreenshotKey, TwoShotsInOneSecondGetTwoNamesAndAnUnwritableFolderFailsCleanly) {
    auto renderer = createOffscreenRenderer();
    if (!renderer) GTEST_SKIP() << "no offscreen GL context";
    const fs::path root = testfiles::freshFolder("shots");
    Screenshots shots(root / "screenshots");
    for (int i = 0; i < 2; ++i) {
        renderer->clear();
        renderer->finishFrame();
        ASSERT_TRUE(shots.handleEvent(f12(SDL_KEYDOWN)));
        shots.capture(*renderer);
    }
    const fs::path last = shots.finish();
    const auto files = filesIn(root / "screenshots");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_TRUE(std::find(files.begin(), files.end(), last) != files.end());
    // Whatever second they fell in, the names differ and follow the pattern.
    const std::regex pattern(R"(tumblebout-\d{8}-\d{6}(-2)?\.png)");
    for (const auto& file : files) EXPECT_TRUE(std::regex_match(file.filename().string(), pattern)) << file;

    // A file where the folder should be: no shot, nothing left behind, no crash.
    testfiles::writeBytes(root / "blocked", {1, 2, 3});
    Screenshots blocked(root / "blocked");
    ASSERT_TRUE(blocked.handleEvent(f12(SDL_KEYDOWN)));
    blocked.capture(*renderer);
    EXPECT_TRUE(blocked.finish().empty());
    EXPECT_EQ(testfiles::readBytes(root / "blocked"), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(ScreenshotKey, F12OnTheRealBackendWritesThePresentedFrame) {
    const fs::path root = testfiles::freshFolder("sdl-shots");
    for (const char* folder : {"home", "runtime", "work"}) fs::create_directories(root / folder);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("HOME", (root / "home").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (root / "runtime").c_str(), 1);
    const fs::path startFolder = fs::current_path();
    fs::current_path(root / "work");

    ASSERT_TRUE(installSdlBackend());
    input::reset();
    ASSERT_TRUE(Graphics(1024, 768, 0, 60, 0));
    drawTestFrame(30);
    Flip();

    // The key never reaches the game: no key down, no hit, no character.
    SDL_Event down = f12(SDL_KEYDOWN), up = f12(SDL_KEYUP);
    SDL_PushEvent(&down);
    EXPECT_EQ(KeyDown(keyF12), 0);
    SDL_PushEvent(&up);
    EXPECT_EQ(KeyHit(keyF12), 0);
    EXPECT_EQ(GetChar(), 0);

    // The next presented frame is the one saved.
    drawTestFrame(120);
    std::vector<unsigned char> shown(1024 * 768 * 4);
    ASSERT_TRUE(currentBackend().renderer()->readPixels(shown.data()));
    Flip();
    drawTestFrame(220);  // drawn after: not in the shot
    Flip();
    headless::start();  // closes the backend, which waits for the writer
    fs::current_path(startFolder);

    const auto files = filesIn(root / "work" / "screenshots");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].extension(), ".png");
    DecodedPng png;
    ASSERT_TRUE(decodePngFile(files[0].string(), png));
    EXPECT_EQ(png.width, 1024);
    EXPECT_EQ(png.height, 768);
    ASSERT_EQ(png.rgba.size(), shown.size());
    EXPECT_TRUE(png.rgba == std::vector<uint8_t>(shown.begin(), shown.end()));
    const uint8_t* inside = &png.rgba[(50 * 1024 + 100) * 4];
    EXPECT_EQ(inside[0], 120);
    EXPECT_EQ(inside[1], 40);
    EXPECT_EQ(inside[2], 200);
}
