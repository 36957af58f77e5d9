#pragma once
// SDL events into the shared input state (platform/input_state.h).

#include <SDL_events.h>

// Keys by scancode (repeats ignored: a held key counts one hit), typed text and the
// editing keys into the character queue, focus changes let go of the keys, closing
// asks to quit.
void feedSdlEvent(const SDL_Event& event);

// F11 and Alt+Enter, pressed or released: the keys that switch between a window and
// full screen, which the game itself never sees.
bool isFullscreenKey(const SDL_Event& event);
