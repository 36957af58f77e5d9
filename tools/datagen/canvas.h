#pragma once
// A small floating-point picture to paint the game's images on. Shapes are given by
// signed distance functions, so every edge comes out antialiased at any size.

#include <cstdint>
#include <functional>
#include <vector>

namespace datagen {

struct Colour {
    float r = 1, g = 1, b = 1, a = 1;  // straight (not premultiplied), 0..1
};

Colour mix(const Colour& a, const Colour& b, float t);

// Pixel centres sit at (x + 0.5, y + 0.5); distances are in pixels, negative inside.
using DistanceField = std::function<float(float x, float y)>;
using Paint = std::function<Colour(float x, float y)>;

class Canvas {
public:
    Canvas(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    // Paints `paint` over the picture where the shape is, with an edge that fades
    // over `feather` pixels (1 = plain antialiasing).
    void fill(const DistanceField& shape, const Paint& paint, float feather = 1.0f);
    // Paints with a given coverage per pixel (0..1), e.g. rasterised text.
    void fillMask(const std::vector<float>& coverage, const Paint& paint);
    // Paints one pixel "over" what is there.
    void blend(int x, int y, const Colour& colour, float coverage);

    Colour pixel(int x, int y) const;  // straight colour
    // 8-bit RGBA, straight alpha, rows top first; fully transparent pixels get
    // `clearColour` so that filtering at the edges does not bleed black.
    std::vector<uint8_t> toRgba8(const Colour& clearColour) const;

private:
    int width_, height_;
    std::vector<float> premultiplied_;  // r, g, b, a per pixel
};

// Edge coverage of a pixel at signed distance d from a shape's outline.
float coverageAt(float distance, float feather);

// Signed distance fields of the shapes the pictures are made of.
float circleDistance(float x, float y, float cx, float cy, float radius);
float capsuleDistance(float x, float y, float ax, float ay, float bx, float by, float radius);
float roundedBoxDistance(float x, float y, float cx, float cy, float halfW, float halfH, float corner);

// Coverage grown outward by `radius` pixels (for outlines and glows).
std::vector<float> dilate(const std::vector<float>& coverage, int width, int height, float radius);

}  // namespace datagen
