#include "tools/datagen/loudness.h"

#include <cmath>

namespace datagen {

namespace {

struct Biquad {
    double b0, b1, b2, a1, a2;
    double z1 = 0, z2 = 0;
    double process(double x) {
        double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// The two K-weighting stages, derived for any sample rate from their analogue
// prototypes (the published coefficients are for 48 kHz only).
Biquad headShelf(double rate) {
    const double f0 = 1681.974450955533, gainDb = 3.999843853973347, q = 0.7071752369554196;
    const double k = std::tan(M_PI * f0 / rate);
    const double vh = std::pow(10.0, gainDb / 20.0), vb = std::pow(vh, 0.4996667741545416);
    const double a0 = 1.0 + k / q + k * k;
    return {(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
            2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

Biquad lowCut(double rate) {
    const double f0 = 38.13547087602444, q = 0.5003270373238773;
    const double k = std::tan(M_PI * f0 / rate);
    const double a0 = 1.0 + k / q + k * k;
    return {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

double blockLoudness(double meanSquare) { return -0.691 + 10.0 * std::log10(std::max(meanSquare, 1e-20)); }

}  // namespace

double integratedLoudness(const StereoBuffer& audio) {
    const size_t frames = audio.size();
    const size_t step = kSampleRate / 10;  // 100 ms: blocks of 400 ms overlap by 75 %
    if (frames < 4 * step) return -70.0;

    // Energy of every 100 ms slice, both channels summed (channel weights 1).
    std::vector<double> sliceEnergy(frames / step, 0.0);
    Biquad shelfL = headShelf(kSampleRate), shelfR = shelfL, cutL = lowCut(kSampleRate), cutR = cutL;
    for (size_t i = 0; i < sliceEnergy.size() * step; ++i) {
        const double l = cutL.process(shelfL.process(audio.left[i]));
        const double r = cutR.process(shelfR.process(audio.right[i]));
        sliceEnergy[i / step] += l * l + r * r;
    }
    std::vector<double> blocks;  // mean square of each 400 ms block
    for (size_t s = 0; s + 4 <= sliceEnergy.size(); ++s) {
        blocks.push_back((sliceEnergy[s] + sliceEnergy[s + 1] + sliceEnergy[s + 2] + sliceEnergy[s + 3]) /
                         double(4 * step));
    }

    auto gatedMean = [&](double threshold) {
        double sum = 0;
        size_t count = 0;
        for (double b : blocks) {
            if (blockLoudness(b) > threshold) {
                sum += b;
                ++count;
            }
        }
        return count ? sum / double(count) : 0.0;
    };
    const double aboveAbsolute = gatedMean(-70.0);
    if (aboveAbsolute <= 0) return -70.0;
    const double relativeGate = blockLoudness(aboveAbsolute) - 10.0;
    return blockLoudness(gatedMean(std::max(relativeGate, -70.0)));
}

}  // namespace datagen
