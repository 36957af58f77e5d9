#pragma once
// SDL events as the window system sends them, for the tests of the SDL backend's
// event handling.

#include <SDL_events.h>

namespace sdltest {

inline SDL_Event keyEvent(Uint32 type, SDL_Scancode scancode, bool repeat = false, Uint16 modifiers = KMOD_NONE) {
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = SDLK_UNKNOWN;  // the layout's letter must not matter
    event.key.keysym.mod = modifiers;
    event.key.repeat = repeat ? 1 : 0;
    return event;
}

inline SDL_Event windowEvent(Uint8 what) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    return event;
}

}  // namespace sdltest
