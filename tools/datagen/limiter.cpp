#include "tools/datagen/limiter.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace datagen {

void limitPeaks(StereoBuffer& audio, float ceiling, float lookAheadSeconds, float releaseSeconds) {
    const size_t n = audio.size();
    const size_t window = std::max<size_t>(1, size_t(lookAheadSeconds * kSampleRate));

    // The gain each sample needs on its own, recovering no faster than the release.
    std::vector<float> gain(n);
    const float recovery = 1.0f - std::exp(-1.0f / (releaseSeconds * kSampleRate));
    float previous = 1.0f;
    for (size_t i = 0; i < n; ++i) {
        const float peak = std::max(std::fabs(audio.left[i]), std::fabs(audio.right[i]));
        const float needed = peak > ceiling ? ceiling / peak : 1.0f;
        previous = std::min(needed, previous + (1.0f - previous) * recovery);
        gain[i] = previous;
    }

    // Look ahead: each sample takes the smallest gain of the next `window` samples...
    std::vector<float> ahead(n);
    std::deque<size_t> candidates;  // indices with increasing gain
    for (size_t i = n; i-- > 0;) {
        while (!candidates.empty() && gain[candidates.back()] >= gain[i]) candidates.pop_back();
        candidates.push_back(i);
        while (candidates.front() > i + window) candidates.pop_front();
        ahead[i] = gain[candidates.front()];
    }
    // ...then a moving average over the same window turns the steps into ramps. Every
    // value averaged at a peak already includes that peak's gain, so none overshoots.
    double sum = 0;
    for (size_t i = 0; i < n; ++i) {
        sum += ahead[i];
        if (i >= window) sum -= ahead[i - window];
        const float smooth = float(sum / double(std::min(i + 1, window)));
        const float g = std::min(smooth, ahead[i]);
        audio.left[i] *= g;
        audio.right[i] *= g;
    }
}

}  // namespace datagen
