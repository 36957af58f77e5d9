#pragma once
// SDL events into the shared input state (platform/input_state.h).

#include <SDL_events.h>

// Keys by scancode (repeats ignored: a held key counts one hit), typed text and the
// editing keys into the character queue, focus changes flush, closing asks to quit.
void feedSdlEvent(const SDL_Event& event);
