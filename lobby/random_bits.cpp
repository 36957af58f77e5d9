// The kernel's random numbers.
#include "lobby/random_bits.h"

#include <sys/random.h>

#include <cstdlib>

uint64_t randomBits() {
    uint64_t value = 0;
    while (value == 0) {
        // Eight bytes never come back short from getrandom; a failure is a broken system.
        if (getrandom(&value, sizeof value, 0) != static_cast<ssize_t>(sizeof value)) std::abort();
    }
    return value;
}
