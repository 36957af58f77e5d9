#pragma once
// Internal to the platform layer: making the headless backend, and the draw-call list
// that the Draw functions append to while the headless backend records.

#include <memory>
#include <vector>

#include "platform/backend.h"
#include "platform/headless.h"

namespace headless {

// A headless backend, without touching the rest of the platform state (headless::start
// resets that as well).
std::unique_ptr<Backend> makeBackend(const Options& options);

// The calls of the frame being drawn, or null when nothing records.
std::vector<DrawCall>* recording();

}  // namespace headless
