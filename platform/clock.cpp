// Time comes only from the backend, so the headless backend's virtual clock drives
// every wait in tests and tools.

#include <cstdint>

#include "platform/backend.h"
#include "platform/platform.h"

int MilliSecs() {
    // Truncated toward zero, then wrapped like a 32-bit millisecond counter instead of
    // overflowing the int after 24 days.
    auto ms = static_cast<int64_t>(currentBackend().milliseconds());
    return static_cast<int32_t>(static_cast<uint32_t>(ms));
}

void Delay(int ms) {
    if (ms > 0) currentBackend().sleep(ms);
}
