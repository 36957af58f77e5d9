#include "tools/datagen/canvas.h"

#include <algorithm>
#include <cmath>

namespace datagen {

Colour mix(const Colour& a, const Colour& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), premultiplied_(size_t(width) * height * 4, 0.0f) {}

float coverageAt(float distance, float feather) {
    return std::clamp(0.5f - distance / feather, 0.0f, 1.0f);
}

void Canvas::blend(int x, int y, const Colour& colour, float coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0) return;
    float a = std::clamp(colour.a * coverage, 0.0f, 1.0f);
    float* p = &premultiplied_[(size_t(y) * width_ + x) * 4];
    p[0] = colour.r * a + p[0] * (1 - a);
    p[1] = colour.g * a + p[1] * (1 - a);
    p[2] = colour.b * a + p[2] * (1 - a);
    p[3] = a + p[3] * (1 - a);
}

void Canvas::fill(const DistanceField& shape, const Paint& paint, float feather) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float c = coverageAt(shape(px, py), feather);
            if (c > 0) blend(x, y, paint(px, py), c);
        }
    }
}

void Canvas::fillMask(const std::vector<float>& coverage, const Paint& paint) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            float c = coverage[size_t(y) * width_ + x];
            if (c > 0) blend(x, y, paint(x + 0.5f, y + 0.5f), c);
        }
    }
}

Colour Canvas::pixel(int x, int y) const {
    const float* p = &premultiplied_[(size_t(y) * width_ + x) * 4];
    if (p[3] <= 0) return {0, 0, 0, 0};
    return {p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]};
}

std::vector<uint8_t> Canvas::toRgba8(const Colour& clearColour) const {
    auto byte = [](float v) { return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    std::vector<uint8_t> out(size_t(width_) * height_ * 4);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            Colour c = pixel(x, y);
            uint8_t alpha = byte(c.a);
            if (alpha == 0) c = clearColour;
            uint8_t* o = &out[(size_t(y) * width_ + x) * 4];
            o[0] = byte(c.r);
            o[1] = byte(c.g);
            o[2] = byte(c.b);
            o[3] = alpha;
        }
    }
    return out;
}

float circleDistance(float x, float y, float cx, float cy, float radius) {
    return std::hypot(x - cx, y - cy) - radius;
}

float capsuleDistance(float x, float y, float ax, float ay, float bx, float by, float radius) {
    float dx = bx - ax, dy = by - ay;
    float lengthSq = dx * dx + dy * dy;
    float t = lengthSq > 0 ? std::clamp(((x - ax) * dx + (y - ay) * dy) / lengthSq, 0.0f, 1.0f) : 0.0f;
    return std::hypot(x - (ax + t * dx), y - (ay + t * dy)) - radius;
}

float roundedBoxDistance(float x, float y, float cx, float cy, float halfW, float halfH, float corner) {
    float qx = std::fabs(x - cx) - (halfW - corner);
    float qy = std::fabs(y - cy) - (halfH - corner);
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    float inside = std::min(std::max(qx, qy), 0.0f);
    return outside + inside - corner;
}

std::vector<float> dilate(const std::vector<float>& coverage, int width, int height, float radius) {
    int reach = int(std::ceil(radius)) + 1;
    std::vector<float> out(coverage.size(), 0.0f);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float best = 0;
            for (int dy = -reach; dy <= reach; ++dy) {
                int sy = y + dy;
                if (sy < 0 || sy >= height) continue;
                for (int dx = -reach; dx <= reach; ++dx) {
                    int sx = x + dx;
                    if (sx < 0 || sx >= width) continue;
                    float c = coverage[size_t(sy) * width + sx];
                    if (c <= best) continue;
                    // The neighbour's ink reaches this pixel with a soft one-pixel edge.
                    float reachCover = coverageAt(std::hypot(float(dx), float(dy)) - radius, 1.0f);
                    best = std::max(best, c * reachCover);
                }
            }
            out[size_t(y) * width + x] = best;
        }
    }
    return out;
}

}  // namespace datagen
