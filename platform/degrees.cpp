// Trigonometry in degrees. Computed in double and rounded once to float, so every
// x86-64 machine with the same C library gives the same bits.

#include <numbers>

#include "platform/platform.h"

namespace {
constexpr double radiansPerDegree = std::numbers::pi / 180.0;
}

float Sin(float degrees) { return static_cast<float>(std::sin(degrees * radiansPerDegree)); }

float Cos(float degrees) { return static_cast<float>(std::cos(degrees * radiansPerDegree)); }

float ATan2(float y, float x) {
    return static_cast<float>(std::atan2(static_cast<double>(y), static_cast<double>(x)) /
                              radiansPerDegree);
}
