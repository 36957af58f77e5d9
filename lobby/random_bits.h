#pragma once
// Unpredictable numbers from the kernel, for what an attacker must not guess: codes,
// secrets, tokens and nonces. Never zero, which the messages keep for "none".

#include <cstdint>

uint64_t randomBits();
