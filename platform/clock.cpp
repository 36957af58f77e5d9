// Time comes only from the backend, so the headless backend's virtual clock drives
// every wait in tests and tools.

#include <time.h>

#include <cstdint>

#include "platform/backend.h"
#include "platform/platform.h"

namespace {

// Truncated toward zero, then wrapped like a 32-bit millisecond counter instead of
// overflowing the int after 24 days.
int wrappedCounter(double ms) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(ms))); }

}  // namespace

double systemMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

int systemMilliSecs() { return wrappedCounter(systemMilliseconds()); }

int MilliSecs() { return wrappedCounter(currentBackend().milliseconds()); }

void Delay(int ms) {
    if (ms > 0) currentBackend().sleep(ms);
}
