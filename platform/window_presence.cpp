#include "platform/window_presence.h"

#include "platform/input_state.h"

namespace {

void pressPause() {
    input::press(input::PauseKey, input::Window);
    input::release(input::PauseKey, input::Window);
}

}  // namespace

void WindowPresence::handleEvent(const SDL_Event& event) {
    if (event.type != SDL_WINDOWEVENT) return;
    // Each way of going away presses P: minimising may come before or after the focus
    // loss, whose flush would forget a press made before it. A second press cannot end
    // the pause the first began, as the pause ignores P while the window is away.
    switch (event.window.event) {
    case SDL_WINDOWEVENT_FOCUS_LOST:
        if (!unfocused_) pressPause();
        unfocused_ = true;
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED: unfocused_ = false; break;
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_HIDDEN:
        if (!outOfSight_) pressPause();
        outOfSight_ = true;
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_SHOWN: outOfSight_ = false; break;
    default: break;
    }
}
