// Controller events into the shared key state. Each controller keeps its own reading,
// updated event by event (so a tap between two polls still counts as a press), and
// holds exactly the keys that reading calls for under its seat's input source.

#include "platform/controllers.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/input_state.h"

namespace {

constexpr int keyEnter = 13, keySpace = 32, keyEscape = 27;

struct DirectionKeys {
    int up, down, left, right;
};
// Player 1's controller steers with the arrow keys (and so drives the menus), player 2's with W, A, S, D.
constexpr std::array<DirectionKeys, 2> seatDirections{{{38, 40, 37, 39}, {87, 83, 65, 68}}};
constexpr std::array<unsigned, 2> seatSources{input::Controller1, input::Controller2};

// The stick's eight directions are 45-degree sectors: an axis counts while the stick
// is within 67.5 degrees of it, so a diagonal holds two keys. tan(67.5) = 1 + sqrt(2),
// in thousandths.
constexpr int64_t diagonalSpreadMilli = 2414;

bool axisCounts(int64_t along, int64_t across) { return along * diagonalSpreadMilli > across * 1000; }

}  // namespace

std::vector<int> keysHeldBy(const PadReading& reading, int seat) {
    const DirectionKeys& keys = seatDirections[seat];
    const int64_t x = reading.stickX, y = reading.stickY;
    const bool tilted = x * x + y * y > static_cast<int64_t>(stickDeadZone) * stickDeadZone;
    const bool horizontal = tilted && axisCounts(std::abs(x), std::abs(y));
    const bool vertical = tilted && axisCounts(std::abs(y), std::abs(x));

    std::vector<int> held;
    if (reading.dpadUp || (vertical && y < 0)) held.push_back(keys.up);
    if (reading.dpadDown || (vertical && y > 0)) held.push_back(keys.down);
    if (reading.dpadLeft || (horizontal && x < 0)) held.push_back(keys.left);
    if (reading.dpadRight || (horizontal && x > 0)) held.push_back(keys.right);
    if (reading.south) held.push_back(keyEnter);
    if (reading.east) held.push_back(keySpace);
    if (reading.start) held.push_back(input::PauseKey);
    if (reading.back) held.push_back(keyEscape);
    return held;
}

void addControllerMappings(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return;
    if (SDL_GameControllerAddMappingsFromFile(path.c_str()) < 0)
        std::fprintf(stderr, "tumblebout: cannot read the controller mappings in %s: %s\n", path.c_str(),
                     SDL_GetError());
}

Controllers::Controllers() { started_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0; }

Controllers::~Controllers() {
    for (unsigned source : seatSources) input::releaseAll(source);
    for (Pad& pad : pads_) SDL_GameControllerClose(pad.controller);
    if (started_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool Controllers::handleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        add(event.cdevice.which);
        return true;
    case SDL_CONTROLLERDEVICEREMOVED:
        remove(event.cdevice.which);
        return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        if (Pad* pad = find(event.cbutton.which)) {
            applyButton(*pad, event.cbutton.button, event.cbutton.state == SDL_PRESSED);
            updateKeys(*pad);
        }
        return true;
    case SDL_CONTROLLERAXISMOTION:
        if (Pad* pad = find(event.caxis.which)) {
            applyAxis(*pad, event.caxis.axis, event.caxis.value);
            updateKeys(*pad);
        }
        return true;
    case SDL_CONTROLLERDEVICEREMAPPED:
        return true;
    default:
        return false;
    }
}

void Controllers::add(int deviceIndex) {
    // A controller can be announced twice (at start-up and again when a mapping arrives).
    if (find(SDL_JoystickGetDeviceInstanceID(deviceIndex))) return;
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller) return;
    Pad pad;
    pad.controller = controller;
    pad.id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    // Start from what it holds now: its earlier events went by before it was open.
    for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button) {
        const auto b = static_cast<SDL_GameControllerButton>(button);
        applyButton(pad, static_cast<Uint8>(button), SDL_GameControllerGetButton(controller, b) != 0);
    }
    applyAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX));
    applyAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY));
    pads_.push_back(pad);
    fillFreeSeats();
}

void Controllers::remove(SDL_JoystickID id) {
    const auto it = std::find_if(pads_.begin(), pads_.end(), [id](const Pad& pad) { return pad.id == id; });
    if (it == pads_.end()) return;
    // Everything it held goes up, so no fighter keeps pushing on its own.
    if (const int seat = seatOf(id); seat >= 0) {
        input::releaseAll(seatSources[seat]);
        seats_[seat] = -1;
    }
    SDL_GameControllerClose(it->controller);
    pads_.erase(it);
    fillFreeSeats();
}

void Controllers::fillFreeSeats() {
    for (Pad& pad : pads_) {
        if (seatOf(pad.id) >= 0) continue;
        const auto free = std::find(seats_.begin(), seats_.end(), -1);
        if (free == seats_.end()) return;
        *free = pad.id;
        updateKeys(pad);
    }
}

void Controllers::applyButton(Pad& pad, Uint8 button, bool down) {
    PadReading& r = pad.reading;
    switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP: r.dpadUp = down; break;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: r.dpadDown = down; break;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: r.dpadLeft = down; break;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: r.dpadRight = down; break;
    case SDL_CONTROLLER_BUTTON_A: r.south = down; break;
    case SDL_CONTROLLER_BUTTON_B: r.east = down; break;
    case SDL_CONTROLLER_BUTTON_START: r.start = down; break;
    case SDL_CONTROLLER_BUTTON_BACK: r.back = down; break;
    default: break;
    }
}

void Controllers::applyAxis(Pad& pad, Uint8 axis, int value) {
    if (axis == SDL_CONTROLLER_AXIS_LEFTX) pad.reading.stickX = value;
    if (axis == SDL_CONTROLLER_AXIS_LEFTY) pad.reading.stickY = value;
}

void Controllers::updateKeys(Pad& pad) {
    const int seat = seatOf(pad.id);
    if (seat < 0) return;  // waiting for a seat: holds nothing yet
    const unsigned source = seatSources[seat];
    const std::vector<int> wanted = keysHeldBy(pad.reading, seat);
    for (int key : pad.held)
        if (std::find(wanted.begin(), wanted.end(), key) == wanted.end()) input::release(key, source);
    for (int key : wanted)
        if (std::find(pad.held.begin(), pad.held.end(), key) == pad.held.end()) input::press(key, source);
    pad.held = wanted;
}

Controllers::Pad* Controllers::find(SDL_JoystickID id) {
    const auto it = std::find_if(pads_.begin(), pads_.end(), [id](const Pad& pad) { return pad.id == id; });
    return it == pads_.end() ? nullptr : &*it;
}

int Controllers::seatOf(SDL_JoystickID id) const {
    const auto it = std::find(seats_.begin(), seats_.end(), id);
    return it == seats_.end() ? -1 : static_cast<int>(it - seats_.begin());
}
