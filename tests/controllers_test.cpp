// Game controllers through SDL's virtual joysticks on the real backend: buttons, D-pad
// and stick become the players' keys, two controllers are two players, unplugging
// releases, and a key held by the keyboard and a controller is one key.

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "loader_test_files.h"
#include "platform/backend.h"
#include "platform/controllers.h"
#include "platform/headless.h"
#include "platform/input_state.h"
#include "platform/platform.h"
#include "platform/sdl_backend.h"

namespace {

constexpr int keyEnter = 13, keySpace = 32, keyEscape = 27, keyPause = 80;
constexpr int keyLeft = 37, keyUp = 38, keyRight = 39, keyDown = 40;
constexpr int keyW = 87, keyA = 65, keyS = 83, keyD = 68;

// A controller made by SDL itself, with buttons and axes in SDL's game-controller order
// (SDL maps a virtual game controller that way).
class VirtualPad {
public:
    VirtualPad() {
        const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                    SDL_CONTROLLER_BUTTON_MAX, 0);
        joystick_ = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
        id_ = joystick_ ? SDL_JoystickInstanceID(joystick_) : -1;
    }
    ~VirtualPad() { unplug(); }
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    bool attached() const { return joystick_ != nullptr; }
    SDL_JoystickID id() const { return id_; }
    void press(SDL_GameControllerButton button) { SDL_JoystickSetVirtualButton(joystick_, button, SDL_PRESSED); }
    void release(SDL_GameControllerButton button) { SDL_JoystickSetVirtualButton(joystick_, button, SDL_RELEASED); }
    void tilt(int x, int y) {
        SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(x));
        SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTY, static_cast<Sint16>(y));
    }
    void unplug() {
        if (!joystick_) return;
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id_) SDL_JoystickDetachVirtual(i);
        SDL_JoystickClose(joystick_);
        joystick_ = nullptr;
    }

private:
    SDL_Joystick* joystick_ = nullptr;
    SDL_JoystickID id_ = -1;
};

void useOffscreenSdl() {
    const auto root = testfiles::freshFolder("controllers");
    std::filesystem::create_directories(root / "home");
    std::filesystem::create_directories(root / "runtime");
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("HOME", (root / "home").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (root / "runtime").c_str(), 1);
}

class ControllerKeys : public ::testing::Test {
protected:
    void SetUp() override {
        useOffscreenSdl();
        ASSERT_TRUE(installSdlBackend());
        input::reset();
    }
    void TearDown() override { headless::start(); }

    // Lets the backend read the events the pads made.
    static void poll() { currentBackend().pollEvents(); }
    static bool down(int key) { return KeyDown(key) != 0; }
};

PadReading stick(int x, int y) {
    PadReading reading;
    reading.stickX = x;
    reading.stickY = y;
    return reading;
}

using Keys = std::vector<int>;

void drawAndShow() {
    Cls();
    DrawRect(0, 0, 10, 10);
    Flip();
}

}  // namespace

TEST(ControllerMapping, StickDeadZoneAndEightSectors) {
    EXPECT_EQ(keysHeldBy(stick(0, 0), 0), Keys{});
    EXPECT_EQ(keysHeldBy(stick(stickDeadZone, 0), 0), Keys{});      // on the edge: still inside
    EXPECT_EQ(keysHeldBy(stick(stickDeadZone + 1, 0), 0), Keys{keyRight});
    EXPECT_EQ(keysHeldBy(stick(7000, -7000), 0), Keys{});           // 9899 from the centre
    EXPECT_EQ(keysHeldBy(stick(8000, -8000), 0), (Keys{keyUp, keyRight}));  // 11314 from the centre
    EXPECT_EQ(keysHeldBy(stick(-32768, 0), 0), Keys{keyLeft});
    EXPECT_EQ(keysHeldBy(stick(0, 32767), 0), Keys{keyDown});
    // 20 degrees below the horizontal is still plain right; 25 degrees is the diagonal.
    EXPECT_EQ(keysHeldBy(stick(30000, 10919), 0), Keys{keyRight});
    EXPECT_EQ(keysHeldBy(stick(30000, 13989), 0), (Keys{keyDown, keyRight}));
    // 65 and 70 degrees: the diagonal, then plain up.
    EXPECT_EQ(keysHeldBy(stick(-12679, -27189), 0), (Keys{keyUp, keyLeft}));
    EXPECT_EQ(keysHeldBy(stick(-10261, -28191), 0), Keys{keyUp});
}

TEST(ControllerMapping, SeatsSteerWithTheirOwnKeysAndShareTheButtons) {
    PadReading reading = stick(-30000, 30000);
    reading.dpadUp = true;
    reading.south = reading.east = reading.start = reading.back = true;
    EXPECT_EQ(keysHeldBy(reading, 0), (Keys{keyUp, keyDown, keyLeft, keyEnter, keySpace, keyPause, keyEscape}));
    EXPECT_EQ(keysHeldBy(reading, 1), (Keys{keyW, keyS, keyA, keyEnter, keySpace, keyPause, keyEscape}));
    PadReading dpad;
    dpad.dpadRight = true;
    EXPECT_EQ(keysHeldBy(dpad, 1), Keys{keyD});
}

TEST_F(ControllerKeys, ButtonsGiveDownsHitsAndReleases) {
    VirtualPad pad;
    ASSERT_TRUE(pad.attached()) << SDL_GetError();
    poll();
    const std::pair<SDL_GameControllerButton, int> buttons[] = {{SDL_CONTROLLER_BUTTON_A, keyEnter},
                                                                {SDL_CONTROLLER_BUTTON_B, keySpace},
                                                                {SDL_CONTROLLER_BUTTON_START, keyPause},
                                                                {SDL_CONTROLLER_BUTTON_BACK, keyEscape}};
    for (const auto& [button, key] : buttons) {
        SCOPED_TRACE(key);
        EXPECT_FALSE(down(key));
        pad.press(button);
        EXPECT_TRUE(down(key));
        EXPECT_TRUE(down(key));  // held across polls: still one press
        EXPECT_EQ(KeyHit(key), 1);
        EXPECT_EQ(KeyHit(key), 0);
        pad.release(button);
        EXPECT_FALSE(down(key));
        EXPECT_EQ(KeyHit(key), 0);
    }
    // Buttons the game has no key for hold nothing.
    pad.press(SDL_CONTROLLER_BUTTON_X);
    pad.press(SDL_CONTROLLER_BUTTON_LEFTSHOULDER);
    poll();
    for (int key = 0; key < 256; ++key) EXPECT_FALSE(down(key)) << key;
}

TEST_F(ControllerKeys, DpadAndStickHoldTheArrowKeys) {
    VirtualPad pad;
    ASSERT_TRUE(pad.attached()) << SDL_GetError();
    pad.press(SDL_CONTROLLER_BUTTON_DPAD_UP);
    EXPECT_TRUE(down(keyUp));
    EXPECT_EQ(KeyHit(keyUp), 1);
    pad.press(SDL_CONTROLLER_BUTTON_DPAD_LEFT);  // a diagonal holds two keys
    EXPECT_TRUE(down(keyUp));
    EXPECT_TRUE(down(keyLeft));
    pad.release(SDL_CONTROLLER_BUTTON_DPAD_UP);
    pad.release(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    EXPECT_FALSE(down(keyUp));
    EXPECT_FALSE(down(keyLeft));

    pad.tilt(9000, -5000);  // inside the dead zone
    poll();
    for (int key : {keyLeft, keyUp, keyRight, keyDown}) EXPECT_FALSE(down(key)) << key;
    pad.tilt(30000, -29000);
    EXPECT_TRUE(down(keyRight));
    EXPECT_TRUE(down(keyUp));
    EXPECT_FALSE(down(keyDown));
    pad.tilt(30000, 2000);  // back to plain right: up goes, right stays one press
    EXPECT_FALSE(down(keyUp));
    EXPECT_TRUE(down(keyRight));
    EXPECT_EQ(KeyHit(keyRight), 1);
    // The D-pad and the stick on the same key: it stays down until both let go.
    pad.press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    poll();
    pad.tilt(0, 0);
    EXPECT_TRUE(down(keyRight));
    pad.release(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    EXPECT_FALSE(down(keyRight));
    EXPECT_EQ(KeyHit(keyRight), 0);
    // Player 1's controller is never player 2's keys.
    for (int key : {keyW, keyA, keyS, keyD}) EXPECT_EQ(KeyHit(key), 0) << key;
}

TEST_F(ControllerKeys, TwoControllersAreTheTwoPlayers) {
    VirtualPad first, second;
    ASSERT_TRUE(first.attached() && second.attached()) << SDL_GetError();
    first.press(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    second.press(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    second.tilt(0, -32768);
    EXPECT_TRUE(down(keyLeft));
    EXPECT_TRUE(down(keyA));
    EXPECT_TRUE(down(keyW));
    EXPECT_FALSE(down(keyUp));
    first.release(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    EXPECT_FALSE(down(keyLeft));
    EXPECT_TRUE(down(keyA));
}

TEST_F(ControllerKeys, UnpluggingReleasesAndTheNextControllerTakesTheSeat) {
    VirtualPad first, second;
    ASSERT_TRUE(first.attached() && second.attached()) << SDL_GetError();
    first.press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    first.press(SDL_CONTROLLER_BUTTON_A);
    second.press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    EXPECT_TRUE(down(keyRight));
    EXPECT_TRUE(down(keyEnter));
    EXPECT_TRUE(down(keyS));

    // A third controller waits while both seats are taken: it holds nothing.
    VirtualPad third;
    ASSERT_TRUE(third.attached()) << SDL_GetError();
    third.press(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    poll();
    EXPECT_FALSE(down(keyLeft));
    EXPECT_FALSE(down(keyA));

    first.unplug();
    poll();
    // Player 1's keys went up with it; the waiting controller now plays player 1.
    EXPECT_FALSE(down(keyRight));
    EXPECT_FALSE(down(keyEnter));
    EXPECT_TRUE(down(keyS));
    EXPECT_TRUE(down(keyLeft));

    second.unplug();
    EXPECT_FALSE(down(keyS));
    VirtualPad fourth;  // connected later: takes player 2's free seat
    ASSERT_TRUE(fourth.attached()) << SDL_GetError();
    fourth.press(SDL_CONTROLLER_BUTTON_DPAD_UP);
    EXPECT_TRUE(down(keyW));
    EXPECT_TRUE(down(keyLeft));
}

TEST_F(ControllerKeys, KeyboardAndControllerHoldOneKey) {
    VirtualPad pad;
    ASSERT_TRUE(pad.attached()) << SDL_GetError();
    poll();
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.scancode = SDL_SCANCODE_RETURN;
    key.key.state = SDL_PRESSED;
    SDL_PushEvent(&key);
    EXPECT_TRUE(down(keyEnter));
    pad.press(SDL_CONTROLLER_BUTTON_A);  // the key is already down: no new press
    EXPECT_TRUE(down(keyEnter));
    EXPECT_EQ(KeyHit(keyEnter), 1);

    key.type = SDL_KEYUP;
    key.key.state = SDL_RELEASED;
    SDL_PushEvent(&key);
    EXPECT_TRUE(down(keyEnter));  // the controller still holds it
    pad.release(SDL_CONTROLLER_BUTTON_A);
    EXPECT_FALSE(down(keyEnter));
    EXPECT_EQ(KeyHit(keyEnter), 0);

    // The other way round: controller first, keyboard let go last.
    pad.press(SDL_CONTROLLER_BUTTON_A);
    key.type = SDL_KEYDOWN;
    key.key.state = SDL_PRESSED;
    SDL_PushEvent(&key);
    poll();
    pad.release(SDL_CONTROLLER_BUTTON_A);
    EXPECT_TRUE(down(keyEnter));
    key.type = SDL_KEYUP;
    key.key.state = SDL_RELEASED;
    SDL_PushEvent(&key);
    EXPECT_FALSE(down(keyEnter));
    EXPECT_EQ(KeyHit(keyEnter), 1);
}

TEST_F(ControllerKeys, WorksWithTheDisplayOpen) {
    ASSERT_TRUE(Graphics(1024, 768, 0, 60, 0));
    // SDL keeps controllers quiet while the game's window lacks the keyboard focus,
    // and an offscreen window never gets it.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    VirtualPad pad;
    ASSERT_TRUE(pad.attached()) << SDL_GetError();
    pad.press(SDL_CONTROLLER_BUTTON_START);
    EXPECT_EQ(KeyHit(keyPause), 1);
    drawAndShow();
    EXPECT_TRUE(down(keyPause));  // a presented frame lets go of nothing
    pad.release(SDL_CONTROLLER_BUTTON_START);
    EXPECT_FALSE(down(keyPause));
    SDL_ResetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS);
}

TEST(ControllerStart, AControllerPluggedInBeforeStartPlaysPlayerOne) {
    useOffscreenSdl();
    // SDL's joystick support runs before the backend starts, as a plugged-in pad would be found.
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    {
        VirtualPad pad;
        ASSERT_TRUE(pad.attached()) << SDL_GetError();
        pad.press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
        SDL_JoystickUpdate();
        ASSERT_TRUE(installSdlBackend());
        input::reset();
        EXPECT_TRUE(KeyDown(keyDown));
        EXPECT_EQ(KeyHit(keyDown), 1);
        pad.unplug();
        EXPECT_FALSE(KeyDown(keyDown));
        headless::start();
    }
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

// A community-format file adds its controllers; SDL_GAMECONTROLLERCONFIG keeps the last
// word on a controller both name; a missing file changes nothing.
TEST(ControllerDatabase, FileAddsMappingsAndTheEnvironmentWins) {
    useOffscreenSdl();
    const char* const bothGuid = "03000000aaaa00000100000000000000";
    const char* const fileOnlyGuid = "03000000aaaa00000200000000000000";
    setenv("SDL_GAMECONTROLLERCONFIG", (std::string(bothGuid) + ",Pad From Env,a:b0,b:b1,platform:Linux,").c_str(), 1);
    const auto folder = testfiles::freshFolder("controller-db");
    const auto file = folder / "gamecontrollerdb.txt";
    const std::string lines = std::string("# a comment line\n") +
                              bothGuid + ",Pad From File,a:b1,b:b0,platform:Linux,\n" +
                              fileOnlyGuid + ",Other Pad,a:b0,b:b1,platform:Linux,\n";
    testfiles::writeBytes(file, std::vector<uint8_t>(lines.begin(), lines.end()));
    const auto nameOf = [](const char* guid) {
        char* mapping = SDL_GameControllerMappingForGUID(SDL_JoystickGetGUIDFromString(guid));
        const std::string text = mapping ? mapping : "";
        SDL_free(mapping);
        return text.substr(0, text.find(',', text.find(',') + 1));
    };
    {
        Controllers controllers;
        addControllerMappings((folder / "missing.txt").string());
        EXPECT_EQ(nameOf(fileOnlyGuid), "");
        addControllerMappings(file.string());
        EXPECT_EQ(nameOf(fileOnlyGuid), std::string(fileOnlyGuid) + ",Other Pad");
        EXPECT_EQ(nameOf(bothGuid), std::string(bothGuid) + ",Pad From Env");
    }
    unsetenv("SDL_GAMECONTROLLERCONFIG");
}
