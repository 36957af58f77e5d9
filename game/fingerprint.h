#pragma once
// The simulation fingerprint of this build: the hash of the state a short, fixed match
// reaches. Two builds that would play the same keys differently (another compiler,
// other flags, a changed rule) almost surely differ here, so replays and online peers
// of another build are refused rather than replayed wrongly.

#include <cstdint>

// Computed once, on first use (a few milliseconds); the random generator is left as
// it was.
uint64_t simulationFingerprint();
