#include "platform/image_mask.h"

#include <cstddef>

namespace {

bool isMaskColour(const uint8_t* p) { return p[0] == 0 && p[1] == 0 && p[2] == 0; }

}  // namespace

void applyMaskColour(Image& image) {
    const int w = image.width, h = image.height;
    // Neighbours are read from the untouched original so the result does not depend
    // on the scan order.
    const std::vector<uint8_t> source = image.rgba;
    auto at = [&](int x, int y) { return source.data() + (static_cast<size_t>(y) * w + x) * 4; };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* out = image.rgba.data() + (static_cast<size_t>(y) * w + x) * 4;
            if (!isMaskColour(at(x, y))) {
                out[3] = 255;
                continue;
            }
            int sum[3] = {0, 0, 0}, count = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                    const uint8_t* n = at(nx, ny);
                    if (isMaskColour(n)) continue;
                    for (int c = 0; c < 3; ++c) sum[c] += n[c];
                    ++count;
                }
            }
            for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>(count ? sum[c] / count : 0);
            out[3] = 0;
        }
    }
}
