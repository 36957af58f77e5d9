// The OpenGL renderer read back pixel by pixel (offscreen, no display needed): the
// five blend modes, tinted and rotated pictures, lines with and without their last
// pixel, TrueType text, the batcher's draw calls; then the SDL backend itself, its
// window, repeated presents, audio and the keyboard events it feeds.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/backend.h"
#include "platform/font.h"
#include "platform/gl_renderer.h"
#include "platform/headless.h"
#include "platform/image.h"
#include "platform/input_state.h"
#include "platform/mixer.h"
#include "platform/platform.h"
#include "platform/sdl_backend.h"
#include "platform/sdl_events.h"
#include "platform/sdl_keymap.h"
#include "tests/loader_test_files.h"
#include "tests/sdl_test_events.h"

using sdltest::keyEvent;
using sdltest::windowEvent;

namespace {

const char* const dejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct Rgb {
    int r, g, b;
};

// A picture made in memory, as LoadImage would make it.
ImageRef makeImage(int width, int height, int flags, std::vector<uint8_t> rgba) {
    auto image = std::make_shared<Image>();
    image->width = width;
    image->height = height;
    image->flags = flags;
    image->rgba = std::move(rgba);
    return image;
}

// Headless with offscreen OpenGL, a grey background drawn solid.
class GlPixels : public ::testing::Test {
protected:
    void SetUp() override {
        headless::start({.offscreenGL = true});
        ASSERT_TRUE(Graphics(1024, 768));
        Cls();
        Flip();
        unsigned char probe[4];
        if (!headless::readPixel(0, 0, probe)) GTEST_SKIP() << "no offscreen OpenGL here";
        Cls();
        SetBlend(2);
        SetColor(100, 100, 100);
        DrawRect(0, 0, 1024, 768);
        SetColor(255, 255, 255);
    }
    void TearDown() override { headless::start(); }

    static Rgb at(int x, int y) {
        unsigned char p[4];
        EXPECT_TRUE(headless::readPixel(x, y, p));
        return {p[0], p[1], p[2]};
    }
    static void expectNear(Rgb got, Rgb want, int tolerance, const char* what) {
        EXPECT_NEAR(got.r, want.r, tolerance) << what;
        EXPECT_NEAR(got.g, want.g, tolerance) << what;
        EXPECT_NEAR(got.b, want.b, tolerance) << what;
    }
};

}  // namespace

TEST_F(GlPixels, FiveBlendModesOverAKnownBackground) {
    // Alpha goes to GL as Int(alpha * 255): 0.5 -> 127.
    const float a = 127.0f / 255.0f;
    SetAlpha(0.5f);
    SetBlend(2);  // solid ignores alpha
    SetColor(200, 0, 0);
    DrawRect(10, 10, 20, 20);
    SetBlend(3);
    DrawRect(40, 10, 20, 20);
    SetBlend(4);
    SetColor(100, 50, 0);
    DrawRect(70, 10, 20, 20);
    SetBlend(5);  // multiplies, whatever the alpha
    SetColor(128, 255, 64);
    DrawRect(100, 10, 20, 20);
    // Mask: alpha at or above one half draws unblended, below it nothing. Alpha 0.5
    // reaches GL as 127/255, just below.
    SetBlend(1);
    SetColor(0, 200, 0);
    SetAlpha(128.0f / 255.0f);
    DrawRect(130, 10, 20, 20);
    SetAlpha(0.5f);
    DrawRect(160, 10, 20, 20);
    SetAlpha(1.0f);
    Flip();

    expectNear(at(20, 20), {200, 0, 0}, 0, "solid");
    expectNear(at(50, 20), {static_cast<int>(200 * a + 100 * (1 - a)), static_cast<int>(100 * (1 - a)),
                            static_cast<int>(100 * (1 - a))},
               2, "alpha");
    expectNear(at(80, 20), {static_cast<int>(100 * a + 100), static_cast<int>(50 * a + 100), 100}, 2, "light");
    expectNear(at(110, 20), {50, 100, 25}, 2, "shade");
    expectNear(at(140, 20), {0, 200, 0}, 0, "mask, alpha 128/255");
    expectNear(at(170, 20), {100, 100, 100}, 0, "mask, alpha 0.5 sent as 127");
    expectNear(at(5, 5), {100, 100, 100}, 0, "background");
}

TEST_F(GlPixels, TexturedPicturesAreTintedMaskedAndBlended) {
    // Left texel opaque white, right texel white at alpha 100 (below one half).
    ImageRef image = makeImage(2, 1, 0, {255, 255, 255, 255, 255, 255, 255, 100});
    SetScale(8, 8);
    SetBlend(1);
    SetColor(0, 0, 255);  // tints the picture
    DrawImage(image, 100, 100);
    SetBlend(3);
    SetColor(255, 255, 255);
    DrawImage(image, 200, 100);
    SetBlend(4);
    SetColor(0, 100, 0);
    DrawImage(image, 300, 100);
    SetScale(1, 1);
    Flip();

    expectNear(at(104, 104), {0, 0, 255}, 0, "mask, opaque texel tinted blue");
    expectNear(at(112, 104), {100, 100, 100}, 0, "mask, see-through texel");
    expectNear(at(204, 104), {255, 255, 255}, 0, "alpha, opaque texel");
    const int mixed = static_cast<int>(255 * (100 / 255.0f) + 100 * (155 / 255.0f));
    expectNear(at(212, 104), {mixed, mixed, mixed}, 2, "alpha, texel at 100");
    expectNear(at(304, 104), {100, 200, 100}, 1, "light, opaque texel");
    expectNear(at(312, 104), {100, 100 + 100 * 100 / 255, 100}, 2, "light, texel at 100");
}

TEST_F(GlPixels, RotatedScaledPictureLandsWhereTheTransformSays) {
    // 4 x 2 texels of distinct colours, nearest sampling.
    std::vector<uint8_t> rgba;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            rgba.insert(rgba.end(), {static_cast<uint8_t>(40 + x * 60), static_cast<uint8_t>(y * 200), 7, 255});
    ImageRef image = makeImage(4, 2, 0, rgba);
    SetBlend(2);
    SetRotation(90);
    SetScale(4, 4);
    DrawImage(image, 300, 300);
    SetRotation(0);
    SetScale(1, 1);
    // Mid-handled and filtered, unrotated and unscaled: centred on the position.
    ImageRef centred = makeImage(4, 2, FILTEREDIMAGE, std::vector<uint8_t>(32, 255));
    MidHandleImage(centred);
    DrawImage(centred, 500, 500);
    Flip();

    // With rotation 90 a texel (i, j) goes to x in [300 - 4(j + 1), 300 - 4j],
    // y in [300 + 4i, 300 + 4i + 4].
    for (int j = 0; j < 2; ++j) {
        for (int i = 0; i < 4; ++i) {
            const Rgb got = at(300 - 4 * j - 2, 300 + 4 * i + 2);
            EXPECT_EQ(got.r, 40 + i * 60) << i << "," << j;
            EXPECT_EQ(got.g, j * 200) << i << "," << j;
        }
    }
    expectNear(at(301, 302), {100, 100, 100}, 0, "right of the rotated picture");
    expectNear(at(290, 299), {100, 100, 100}, 0, "above the rotated picture");
    expectNear(at(498, 499), {255, 255, 255}, 0, "centred picture, top-left texel");
    expectNear(at(501, 500), {255, 255, 255}, 0, "centred picture, bottom-right texel");
    expectNear(at(497, 500), {100, 100, 100}, 0, "left of the centred picture");
    expectNear(at(502, 500), {100, 100, 100}, 0, "right of the centred picture");
    expectNear(at(500, 501), {100, 100, 100}, 0, "below the centred picture");
}

TEST_F(GlPixels, LinesWithAndWithoutTheirLastPixel) {
    SetBlend(2);
    SetColor(255, 255, 0);
    DrawLine(10, 50, 20, 50, false);
    DrawLine(10, 60, 20, 60, true);
    DrawLine(30, 10, 30, 20, false);
    DrawLine(40, 10, 40, 20);
    Flip();
    for (int x = 10; x < 20; ++x) {
        expectNear(at(x, 50), {255, 255, 0}, 0, "horizontal");
        expectNear(at(x, 60), {255, 255, 0}, 0, "horizontal with last");
    }
    expectNear(at(20, 50), {100, 100, 100}, 0, "last pixel left out");
    expectNear(at(20, 60), {255, 255, 0}, 0, "last pixel drawn");
    expectNear(at(21, 60), {100, 100, 100}, 0, "nothing beyond the last pixel");
    expectNear(at(9, 50), {100, 100, 100}, 0, "nothing before the first");
    expectNear(at(10, 51), {100, 100, 100}, 0, "one pixel wide");
    for (int y = 10; y < 20; ++y) {
        EXPECT_EQ(at(30, y).g, 255) << "vertical, y " << y;
        EXPECT_EQ(at(40, y).g, 255) << "vertical with last, y " << y;
    }
    expectNear(at(30, 20), {100, 100, 100}, 0, "vertical, last pixel left out");
    expectNear(at(40, 20), {255, 255, 0}, 0, "vertical, last pixel drawn");
    expectNear(at(41, 20), {100, 100, 100}, 0, "the last pixel is one pixel");
}

TEST_F(GlPixels, TrueTypeTextCoversItsGlyphsPixels) {
    FontRef font = LoadImageFont(dejaVu, 40, 4);
    ASSERT_TRUE(font) << "needs fonts-dejavu-core";
    SetBlend(2);
    SetColor(0, 0, 0);
    DrawRect(0, 0, 1024, 768);
    SetImageFont(font);
    SetBlend(3);
    SetColor(255, 255, 255);
    DrawText("H", 400, 300);
    Flip();
    const Glyph* h = fontGlyph(font, 'H');
    ASSERT_TRUE(h && h->image);
    // Drawn at the pen plus the whole-pixel offsets, at scale 1: every pixel is the
    // glyph's coverage over black.
    const int left = 400 + static_cast<int>(h->offsetX), top = 300 + static_cast<int>(h->offsetY);
    int lit = 0;
    for (int y = 0; y < h->image->height; ++y) {
        for (int x = 0; x < h->image->width; ++x) {
            const int coverage = h->image->rgba[(y * h->image->width + x) * 4 + 3];
            ASSERT_NEAR(at(left + x, top + y).r, coverage, 2) << x << "," << y;
            lit += coverage > 128;
        }
    }
    EXPECT_GT(lit, 100);
    expectNear(at(left - 1, top + h->image->height / 2), {0, 0, 0}, 0, "left of the glyph");
    SetImageFont(nullptr);
}

TEST(GlRenderer, BatchesShareCallsAndKeepTheirOrder) {
    std::unique_ptr<Renderer> made = createOffscreenRenderer();
    if (!made) GTEST_SKIP() << "no offscreen OpenGL here";
    auto* gl = dynamic_cast<GlRenderer*>(made.get());
    ASSERT_TRUE(gl);
    auto rect = [&](float x, float y, int r, int g, int b, int blend) {
        DrawState state;
        state.r = r, state.g = g, state.b = b, state.blend = blend;
        const Vertex corners[4] = {{x, y, 0, 0}, {x + 10, y, 1, 0}, {x + 10, y + 10, 1, 1}, {x, y + 10, 0, 1}};
        gl->quad(nullptr, corners, state);
    };
    ImageRef picture = makeImage(1, 1, 0, {0, 255, 0, 255});
    const Vertex pictureCorners[4] = {{4, 4, 0, 0}, {8, 4, 1, 0}, {8, 8, 1, 1}, {4, 8, 0, 1}};

    gl->clear();
    for (int i = 0; i < 100; ++i) rect(i * 5.0f, 0, 255, 0, 0, 3);  // overlapping, one batch
    rect(2, 2, 0, 0, 255, 3);                                        // same batch, later: on top
    gl->quad(picture.get(), pictureCorners, DrawState{});            // textured: a new batch
    rect(5, 5, 255, 255, 255, 3);                                    // and back
    DrawState lineState;
    gl->line(0, 20, 50, 20, true, lineState);                        // lines are a batch of their own
    gl->line(0, 22, 50, 22, false, lineState);
    gl->finishFrame();
    EXPECT_EQ(gl->drawCallsSinceClear(), 4);

    std::vector<unsigned char> pixels(1024 * 768 * 4);
    ASSERT_TRUE(gl->readPixels(pixels.data()));
    auto pixel = [&](int x, int y) { return Rgb{pixels[(y * 1024 + x) * 4], pixels[(y * 1024 + x) * 4 + 1],
                                                pixels[(y * 1024 + x) * 4 + 2]}; };
    EXPECT_EQ(pixel(3, 3).b, 255);   // the blue square covers the red ones
    EXPECT_EQ(pixel(3, 3).r, 0);
    EXPECT_EQ(pixel(4, 4).g, 255);   // the picture lies on the blue
    EXPECT_EQ(pixel(4, 4).r, 0);
    EXPECT_EQ(pixel(6, 6).r, 255);   // the white square on the picture
    EXPECT_EQ(pixel(6, 6).g, 255);
    EXPECT_EQ(pixel(300, 5).r, 255);
    EXPECT_EQ(pixel(50, 20).r, 255);  // last pixel of the first line
    EXPECT_EQ(pixel(50, 22).r, 0);

    // The naive path makes one call per shape and draws the same picture.
    gl->setBatching(false);
    gl->clear();
    for (int i = 0; i < 100; ++i) rect(i * 5.0f, 0, 255, 0, 0, 3);
    gl->finishFrame();
    EXPECT_EQ(gl->drawCallsSinceClear(), 100);
}

TEST(GlRenderer, LetterboxKeepsTheAspectAndCentres) {
    auto same = [](ShownRect a, ShownRect b) {
        return a.left == b.left && a.bottom == b.bottom && a.width == b.width && a.height == b.height;
    };
    EXPECT_TRUE(same(letterbox(1024, 768), {0, 0, 1024, 768}));
    EXPECT_TRUE(same(letterbox(1920, 1080), {240, 0, 1440, 1080}));  // bars left and right
    EXPECT_TRUE(same(letterbox(800, 800), {0, 100, 800, 600}));     // bars above and below
    EXPECT_TRUE(same(letterbox(2048, 1536), {0, 0, 2048, 1536}));   // high-DPI: twice as sharp
}

TEST(SdlKeys, ScancodesMapToVirtualKeys) {
    const std::pair<SDL_Scancode, int> table[] = {
        {SDL_SCANCODE_A, 65},      {SDL_SCANCODE_W, 87},       {SDL_SCANCODE_Z, 90},    {SDL_SCANCODE_0, 48},
        {SDL_SCANCODE_1, 49},      {SDL_SCANCODE_9, 57},       {SDL_SCANCODE_RETURN, 13}, {SDL_SCANCODE_KP_ENTER, 13},
        {SDL_SCANCODE_ESCAPE, 27}, {SDL_SCANCODE_SPACE, 32},   {SDL_SCANCODE_BACKSPACE, 8}, {SDL_SCANCODE_TAB, 9},
        {SDL_SCANCODE_LEFT, 37},   {SDL_SCANCODE_UP, 38},      {SDL_SCANCODE_RIGHT, 39}, {SDL_SCANCODE_DOWN, 40},
        {SDL_SCANCODE_LSHIFT, 16}, {SDL_SCANCODE_RCTRL, 17},   {SDL_SCANCODE_LALT, 18}, {SDL_SCANCODE_F1, 112},
        {SDL_SCANCODE_F12, 123},   {SDL_SCANCODE_DELETE, 46},  {SDL_SCANCODE_KP_4, 100}, {SDL_SCANCODE_UNKNOWN, 0},
    };
    for (const auto& [scancode, key] : table) EXPECT_EQ(virtualKeyFor(scancode), key) << scancode;
}

namespace {

SDL_Event textEvent(const char* text) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    std::snprintf(event.text.text, sizeof event.text.text, "%s", text);
    return event;
}

}  // namespace

TEST(SdlKeys, EventsFeedKeysHitsAndTypedCharacters) {
    headless::start();
    feedSdlEvent(keyEvent(SDL_KEYDOWN, SDL_SCANCODE_W));
    feedSdlEvent(keyEvent(SDL_KEYDOWN, SDL_SCANCODE_W, true));  // auto-repeat
    feedSdlEvent(keyEvent(SDL_KEYDOWN, SDL_SCANCODE_W, true));
    EXPECT_EQ(KeyDown(87), 1);
    EXPECT_EQ(KeyHit(87), 1);
    EXPECT_EQ(KeyHit(87), 0);
    feedSdlEvent(keyEvent(SDL_KEYUP, SDL_SCANCODE_W));
    EXPECT_EQ(KeyDown(87), 0);

    feedSdlEvent(textEvent("Hi \xC3\xA9!"));  // the accented letter's bytes are left out
    feedSdlEvent(keyEvent(SDL_KEYDOWN, SDL_SCANCODE_BACKSPACE));
    feedSdlEvent(keyEvent(SDL_KEYDOWN, SDL_SCANCODE_BACKSPACE, true));  // typing repeats
    feedSdlEvent(keyEvent(SDL_KEYDOWN, SDL_SCANCODE_DELETE));
    feedSdlEvent(keyEvent(SDL_KEYDOWN, SDL_SCANCODE_KP_ENTER));
    feedSdlEvent(keyEvent(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE));
    std::vector<int> typed;
    for (int c = GetChar(); c != 0; c = GetChar()) typed.push_back(c);
    EXPECT_EQ(typed, (std::vector<int>{'H', 'i', ' ', '!', 8, 8, 127, 13, 27}));
    EXPECT_EQ(KeyHit(8), 1);  // the repeat typed a character but is not a second hit
    EXPECT_EQ(KeyHit(13), 1);

    // Losing the focus drops every key and press; coming back lets go of the keys but
    // keeps the presses. Closing the window asks the game to end.
    feedSdlEvent(keyEvent(SDL_KEYDOWN, SDL_SCANCODE_LEFT));
    feedSdlEvent(textEvent("x"));
    feedSdlEvent(windowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
    EXPECT_EQ(KeyDown(37), 0);
    EXPECT_EQ(KeyHit(37), 0);
    EXPECT_EQ(GetChar(), 0);
    feedSdlEvent(keyEvent(SDL_KEYDOWN, SDL_SCANCODE_P));
    feedSdlEvent(windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED));
    EXPECT_EQ(KeyDown(80), 0);
    EXPECT_EQ(KeyHit(80), 1);
    EXPECT_EQ(AppTerminate(), 0);
    feedSdlEvent(windowEvent(SDL_WINDOWEVENT_CLOSE));
    EXPECT_EQ(AppTerminate(), 1);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    feedSdlEvent(quit);
    EXPECT_EQ(AppTerminate(), 1);
    EXPECT_EQ(AppTerminate(), 0);
}

TEST(SdlBackend, OffscreenWindowShowsReadsAndPlays) {
    const auto runtime = testfiles::freshFolder("sdl-runtime");
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ASSERT_TRUE(installSdlBackend());
    AppTitle("Tumblebout");
    AppIcon(makeImage(2, 2, 0, std::vector<uint8_t>(16, 200)));  // before the window: kept for it
    ASSERT_TRUE(Graphics(1024, 768, 0, 60, 0));
    Renderer* renderer = currentBackend().renderer();
    ASSERT_TRUE(renderer);

    Cls();
    SetBlend(2);
    SetColor(10, 20, 30);
    DrawRect(100, 100, 50, 50);
    Flip();
    const double before = currentBackend().milliseconds();
    for (int i = 0; i < 6; ++i) Flip();  // nothing drawn: the same picture each time
    const double took = currentBackend().milliseconds() - before;
    std::vector<unsigned char> pixels(1024 * 768 * 4);
    ASSERT_TRUE(renderer->readPixels(pixels.data()));
    const unsigned char* p = &pixels[(120 * 1024 + 120) * 4];
    EXPECT_EQ(p[0], 10);
    EXPECT_EQ(p[1], 20);
    EXPECT_EQ(p[2], 30);
    // Paced to 60 Hz: six presents span at least five whole periods after the first
    // one's own present time (unpaced, offscreen, they take a few ms each).
    EXPECT_GE(took, 5 * 1000.0 / 60) << took;

    // The dummy audio device plays a tenth of a second, then frees the channel.
    auto sound = std::make_shared<Sound>();
    sound->rate = 22050;
    sound->samples.assign(2205, 1000);
    const Channel channel = CueSound(sound);
    SetChannelVolume(channel, 0.5f);
    ResumeChannel(channel);
    EXPECT_EQ(ChannelPlaying(channel), 1);
    for (int i = 0; i < 100 && ChannelPlaying(channel); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(ChannelPlaying(channel), 0);

    headless::start();  // gives the window back
    unsetenv("SDL_AUDIODRIVER");
}

TEST(SdlBackend, FullScreenOpensScaledAndStillPaced) {
    const auto runtime = testfiles::freshFolder("sdl-full");
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ASSERT_TRUE(installSdlBackend());
    // The vertical-blank probe finds no waiting swaps here, so the schedule paces.
    ASSERT_TRUE(Graphics(1024, 768, 32, 60, 0));
    HideMouse();
    Cls();
    SetBlend(2);
    SetColor(0, 250, 0);
    DrawRect(0, 0, 10, 10);
    Flip();
    const double before = currentBackend().milliseconds();
    for (int i = 0; i < 6; ++i) Flip();
    EXPECT_GE(currentBackend().milliseconds() - before, 5 * 1000.0 / 60);
    std::vector<unsigned char> pixels(1024 * 768 * 4);
    ASSERT_TRUE(currentBackend().renderer()->readPixels(pixels.data()));
    EXPECT_EQ(pixels[(5 * 1024 + 5) * 4 + 1], 250);
    headless::start();
}

TEST(SdlBackend, NoGlContextMeansGraphicsFailsQuietly) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);  // a video driver without OpenGL
    ASSERT_TRUE(installSdlBackend());
    EXPECT_FALSE(Graphics(1024, 768, 0, 60, 0));
    EXPECT_EQ(currentBackend().renderer(), nullptr);
    Flip();  // nothing to show, nothing breaks
    headless::start();
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
}
