#pragma once
// The real backend: an SDL2 window with an OpenGL context showing the 1024 x 768
// surface (letterboxed to any window size), SDL keyboard events, and an SDL audio
// device fed by the game's own mixer.

#include <memory>

#include "platform/backend.h"

// Installs the SDL backend (the display opens at Graphics). False if SDL's video
// cannot start at all.
bool installSdlBackend();
// An OpenGL renderer on a hidden offscreen surface, for headless screenshots and
// pixel tests; null when no GL context can be made.
std::unique_ptr<Renderer> createOffscreenRenderer();
