#pragma once
// SDL scancodes to Windows virtual-key codes. Scancodes name the key's place on the
// keyboard, not its letter, so W, A, S, D stay one cluster on any layout.

#include <SDL_scancode.h>

// 0 for a key the game has no code for.
int virtualKeyFor(SDL_Scancode scancode);
