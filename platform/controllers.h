#pragma once
// Game controllers as two more holders of the keyboard's keys: the game reads keys, and
// a controller presses and releases the same keys a player would on the keyboard.
// The first connected controller plays player 1, the second player 2; a controller
// connected while both seats are taken waits and takes the first seat that frees.

#include <SDL_events.h>
#include <SDL_gamecontroller.h>

#include <array>
#include <string>
#include <vector>

// What one controller is doing, as far as the game cares.
struct PadReading {
    bool dpadUp = false, dpadDown = false, dpadLeft = false, dpadRight = false;
    bool south = false, east = false, start = false, back = false;
    int stickX = 0, stickY = 0;  // left stick, -32768..32767, y grows downward
};

// Keys a controller in seat 0 (player 1) or seat 1 (player 2) holds for a reading:
// directions from the D-pad or the stick past its dead zone, then the buttons.
std::vector<int> keysHeldBy(const PadReading& reading, int seat);

// Adds the mappings of a controller database in SDL's community format
// (gamecontrollerdb.txt) when the file exists, so pads SDL does not know yet work too;
// a file that exists but cannot be read gets one line on stderr. SDL's own
// SDL_GAMECONTROLLERCONFIG keeps the last word on any controller it names.
void addControllerMappings(const std::string& path);

// The stick holds nothing within this distance of its centre, about a third of its travel.
constexpr int stickDeadZone = 32767 / 3;

class Controllers {
public:
    // Starts SDL's game-controller support; controllers already plugged in arrive
    // as device-added events at the next poll.
    Controllers();
    // Releases every key the controllers hold and closes them.
    ~Controllers();
    Controllers(const Controllers&) = delete;
    Controllers& operator=(const Controllers&) = delete;

    // Takes a controller event (plugging, unplugging, buttons, sticks) into the key
    // state; false for any other event.
    bool handleEvent(const SDL_Event& event);

private:
    struct Pad {
        SDL_GameController* controller = nullptr;
        SDL_JoystickID id = -1;
        PadReading reading;
        std::vector<int> held;  // keys this controller holds now
    };

    void add(int deviceIndex);
    void remove(SDL_JoystickID id);
    void fillFreeSeats();
    void applyButton(Pad& pad, Uint8 button, bool down);
    void applyAxis(Pad& pad, Uint8 axis, int value);
    void updateKeys(Pad& pad);
    Pad* find(SDL_JoystickID id);
    int seatOf(SDL_JoystickID id) const;

    bool started_ = false;
    std::vector<Pad> pads_;  // open controllers in the order they were connected
    std::array<SDL_JoystickID, 2> seats_{-1, -1};
};
