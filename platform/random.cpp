// The minimal standard generator (Park and Miller, multiplier 48271). Every random
// choice of the game comes from here, so one seed reproduces a whole game.

#include <cmath>
#include <cstdint>

#include "platform/platform.h"

namespace {

constexpr int32_t modulus = 2147483647;  // 2^31 - 1
constexpr int32_t multiplier = 48271;
// Schrage's decomposition modulus = multiplier * q + r keeps every product in 32 bits.
constexpr int32_t q = 44488, r = 3399;
constexpr int32_t stateWhenUnseeded = 4660;

int32_t state = stateWhenUnseeded;

int32_t advance() {
    int32_t t = multiplier * (state % q) - r * (state / q);
    if (t < 0) t += modulus;
    state = t;
    return state;
}

// A double in [0, 1) from two advances: 27 bits of the first and 26 of the second.
double unitFromTwoAdvances() {
    int32_t s1 = advance();
    int32_t s2 = advance();
    return ((s1 & 0x1FFFFFFC) + (s2 & 0x1FFFFFF8) / 134217728.0) / 536870912.0;
}

}  // namespace

void SeedRnd(int seed) {
    state = seed & 0x7FFFFFFF;
    // 0 and the modulus itself are fixed points of the generator.
    if (state == 0 || state == modulus) state = stateWhenUnseeded;
}

int RndState() { return state; }

float RndFloat() {
    return static_cast<float>(advance() & 0x0FFFFFF0) / 268435456.0f;
}

double Rnd(double a, double b) {
    double lo = a < b ? a : b;
    double hi = a < b ? b : a;
    return lo + unitFromTwoAdvances() * (hi - lo);
}

int Rand(int a, int b) {
    int lo = a < b ? a : b;
    int hi = a < b ? b : a;
    // The span in double: hi - lo + 1 overflows an int for the widest ranges. Floor,
    // not truncation: truncating toward zero would return hi + 1 for a range below zero
    // (Rand(-10, -5) giving -4); for ranges from zero up both agree.
    double span = static_cast<double>(hi) - lo + 1.0;
    return static_cast<int>(std::floor(lo + unitFromTwoAdvances() * span));
}
