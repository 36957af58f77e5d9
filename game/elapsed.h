#pragma once
// Time since a MilliSecs mark, correct across the wrap of the 32-bit millisecond
// counter (a plain int difference overflows there).
#include <cstdint>

#include "platform/platform.h"

inline int millisecondsSince(int mark) {
    return static_cast<int>(static_cast<uint32_t>(MilliSecs()) - static_cast<uint32_t>(mark));
}
