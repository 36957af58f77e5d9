// The real window as a desktop citizen: going away (focus lost, minimised) presses P,
// a match pauses on it and shows "PAUSED", out of sight nothing is presented
// until the window comes back (unless the game must keep running), F11 and Alt+Enter switch full screen without the game
// seeing them, and the pointer hides in full screen and when the game asks.
#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "game/Game.h"
#include "game/keys.h"
#include "platform/backend.h"
#include "platform/headless.h"
#include "platform/sdl_backend.h"
#include "tests/loader_test_files.h"
#include "tests/match_test_support.h"
#include "tests/sdl_test_events.h"

using sdltest::keyEvent;
using sdltest::windowEvent;

namespace {

void push(SDL_Event event) { SDL_PushEvent(&event); }

void pushTap(SDL_Scancode scancode, Uint16 modifiers = KMOD_NONE) {
    push(keyEvent(SDL_KEYDOWN, scancode, false, modifiers));
    push(keyEvent(SDL_KEYUP, scancode, false, modifiers));
}

// A key down and the text it types, as SDL sends them.
void pushTyping(SDL_Scancode scancode, const char* text, bool repeat) {
    push(keyEvent(SDL_KEYDOWN, scancode, repeat));
    SDL_Event typed{};
    typed.type = SDL_TEXTINPUT;
    SDL_strlcpy(typed.text.text, text, sizeof typed.text.text);
    push(typed);
}

// The SDL backend on SDL's offscreen driver, its display open; the headless backend
// again afterwards.
class RealWindow : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("XDG_RUNTIME_DIR", testfiles::freshFolder("window-runtime").c_str(), 1);
        ASSERT_TRUE(installSdlBackend());
        ASSERT_TRUE(Graphics(1024, 768, 0, 60, 0));
    }
    void TearDown() override {
        headless::setFrameHook(nullptr);
        headless::start();
    }
};

}  // namespace

// A pause the player made survives the window going away and coming back; a pause the
// window made holds until P is pressed with the player back; "PAUSED" shows in the
// title colour over the frozen picture.
TEST_F(RealWindow, FocusLossPausesTheMatchAsPDoes) {
    matchtest::ScopedTempFolder folder;
    SetImageFont(LoadImageFont(std::string(TUMBLEBOUT_BUILD_DIR) + "/images/font.ttf", 200, 4));
    SetBlend(3);
    Game game;
    matchtest::setDefaultOptions(game);
    game.gameMode = "1";
    game.level = 1;

    std::vector<int> counters(80, -1);  // frameCounter after each present
    std::vector<unsigned char> pixels(1024 * 768 * 4);
    int suspendedWhileAway = -1, suspendedWhenBack = -1, noticePixels = -1;
    headless::setFrameHook([&](int presented) {
        counters[presented] = game.frameCounter;
        switch (presented) {
        case 10: pushTap(SDL_SCANCODE_P); break;  // the player pauses
        case 15: push(windowEvent(SDL_WINDOWEVENT_FOCUS_LOST)); break;
        case 20: suspendedWhileAway = AppSuspended(); break;
        case 21: push(windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED)); break;
        case 25: suspendedWhenBack = AppSuspended(); break;
        case 26: pushTap(SDL_SCANCODE_P); break;  // the player goes on
        case 40: push(windowEvent(SDL_WINDOWEVENT_FOCUS_LOST)); break;
        case 45: {
            ASSERT_TRUE(currentBackend().renderer()->readPixels(pixels.data()));
            const int r = game.palette[1][1], g = game.palette[1][2], b = game.palette[1][3];
            noticePixels = 0;
            for (int y = 324; y < 444; ++y)
                for (int x = 0; x < 1024; ++x) {
                    const unsigned char* p = &pixels[(static_cast<size_t>(y) * 1024 + x) * 4];
                    noticePixels += std::abs(p[0] - r) <= 2 && std::abs(p[1] - g) <= 2 && std::abs(p[2] - b) <= 2;
                }
            break;
        }
        case 46: push(windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED)); break;
        case 55: push(keyEvent(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE)); break;  // held: it quits the match too
        case 70: throw ProgramEnd{1};  // the pause never ended
        }
    });
    EXPECT_EQ(game.playMatch(), 3);

    // Paused from the 11th present: nothing moves while the window is away and back.
    EXPECT_EQ(counters[11], 11);
    EXPECT_EQ(counters[26], 11);
    EXPECT_EQ(suspendedWhileAway, 1);
    EXPECT_EQ(suspendedWhenBack, 0);
    // Going on, then the window's own pause, held after the focus came back until Esc.
    EXPECT_GT(counters[40], counters[30]);
    EXPECT_EQ(counters[54], counters[42]);
    EXPECT_GT(noticePixels, 300);
}

// Space held through the last level's tally ends it at once, and keeps repeating into
// the game over's name entry: its repeats type nothing there, keys pressed on it do.
TEST_F(RealWindow, AKeyHeldIntoTheNameEntryDoesNotTypeItsRepeats) {
    matchtest::ScopedTempFolder folder;
    Game game;
    matchtest::setDefaultOptions(game);
    game.gameMode = "1";
    game.level = 20;
    std::string name;
    headless::setFrameHook([&](int presented) {
        if (presented == 2) push(keyEvent(SDL_KEYDOWN, SDL_SCANCODE_4)), push(keyEvent(SDL_KEYDOWN, SDL_SCANCODE_1));
        if (presented == 4) push(keyEvent(SDL_KEYUP, SDL_SCANCODE_4)), push(keyEvent(SDL_KEYUP, SDL_SCANCODE_1));
        if (presented == 120) pushTyping(SDL_SCANCODE_SPACE, " ", false);
        if (presented > 120 && presented < 200) pushTyping(SDL_SCANCODE_SPACE, " ", true);
        if (presented == 200) push(keyEvent(SDL_KEYUP, SDL_SCANCODE_SPACE));
        if (presented == 210) pushTyping(SDL_SCANCODE_O, "o", false), push(keyEvent(SDL_KEYUP, SDL_SCANCODE_O));
        if (presented == 215) {
            // A key pressed on the screen repeats as it should.
            pushTyping(SDL_SCANCODE_K, "k", false);
            pushTyping(SDL_SCANCODE_K, "k", true);
            push(keyEvent(SDL_KEYUP, SDL_SCANCODE_K));
        }
        if (presented == 230) {
            name = game.playerName;
            push(keyEvent(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE));
        }
        if (presented > 300) throw ProgramEnd{1};
    });
    EXPECT_EQ(game.playMatch(), 3);
    EXPECT_EQ(name, "OKK");
}

TEST_F(RealWindow, OutOfSightFlipSleepsUntilTheWindowComesBack) {
    // In the order a window manager sends them: the focus loss's flush comes last.
    push(windowEvent(SDL_WINDOWEVENT_MINIMIZED));
    push(windowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
    EXPECT_EQ(AppSuspended(), 1);  // polls the events
    std::thread restorer([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        push(windowEvent(SDL_WINDOWEVENT_RESTORED));
    });
    const double before = currentBackend().milliseconds();
    Flip();
    const double slept = currentBackend().milliseconds() - before;
    restorer.join();
    EXPECT_GE(slept, 250);
    EXPECT_EQ(KeyHit(key::P), 1);  // going away pressed P

    // A close request ends the wait too.
    push(windowEvent(SDL_WINDOWEVENT_MINIMIZED));
    EXPECT_EQ(AppSuspended(), 1);
    std::thread closer([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        push(windowEvent(SDL_WINDOWEVENT_CLOSE));
    });
    Flip();
    closer.join();
    EXPECT_EQ(AppTerminate(), 1);
}

// A game that must go on (online) keeps its pace out of sight: nothing is shown, and
// nothing waits for the window.
TEST_F(RealWindow, KeptRunningOutOfSightFlipKeepsItsPace) {
    KeepRunningOutOfSight(true);
    push(windowEvent(SDL_WINDOWEVENT_MINIMIZED));
    EXPECT_EQ(AppSuspended(), 1);
    std::thread restorer([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        push(windowEvent(SDL_WINDOWEVENT_RESTORED));
    });
    const double before = currentBackend().milliseconds();
    for (int frame = 0; frame < 30; ++frame) Flip();
    const double took = currentBackend().milliseconds() - before;
    restorer.join();
    KeepRunningOutOfSight(false);
    EXPECT_GE(took, 400);   // paced: 30 frames take half a second
    EXPECT_LT(took, 1200);  // and never waited for the window
}

TEST_F(RealWindow, F11AndAltEnterSwitchFullScreenUnseenByTheGame) {
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    ASSERT_NE(window, nullptr);
    const auto fullScreen = [window] { return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0; };
    EXPECT_FALSE(fullScreen());
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);

    pushTap(SDL_SCANCODE_F11);
    EXPECT_EQ(KeyHit(122), 0);  // F11's own key code
    EXPECT_TRUE(fullScreen());
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    ShowMouse();  // full screen shows no pointer, whatever the game asks
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);

    pushTap(SDL_SCANCODE_RETURN, KMOD_LALT);
    EXPECT_EQ(KeyHit(key::Enter), 0);
    EXPECT_EQ(GetChar(), 0);
    EXPECT_FALSE(fullScreen());
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    HideMouse();  // as during a match
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    ShowMouse();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);

    pushTap(SDL_SCANCODE_RETURN);  // Enter alone is the game's
    EXPECT_EQ(KeyHit(key::Enter), 1);
    EXPECT_FALSE(fullScreen());
}
