#pragma once
// Whether the player is with the window. It is away while it lacks the keyboard focus
// or is out of sight (minimised or hidden). Going away presses P, through the shared
// key state, so a running match pauses exactly as if the player had pressed it; out of
// sight, nothing is worth drawing.

#include <SDL_events.h>

class WindowPresence {
public:
    // Follows the focus and visibility events; any other event changes nothing.
    void handleEvent(const SDL_Event& event);

    bool away() const { return unfocused_ || outOfSight_; }
    bool outOfSight() const { return outOfSight_; }

private:
    bool unfocused_ = false;
    bool outOfSight_ = false;
};
