#include "tools/datagen/pictures.h"

#include <algorithm>
#include <cmath>

#include "tools/datagen/canvas.h"
#include "tools/datagen/puppet.h"
#include "tools/datagen/text_raster.h"

namespace datagen {

namespace {

const Colour kWhite{1, 1, 1, 1};

Picture toPicture(const Canvas& canvas, const Colour& clearColour) {
    return {canvas.width(), canvas.height(), canvas.toRgba8(clearColour)};
}

}  // namespace

Picture stickQuad() {
    // The falloff reaches zero at the border, so a bilinear sampler never sees a
    // hard cut at the quad's outline, whatever the stretch.
    constexpr float kSize = 280, kFalloff = 6;
    Canvas canvas(280, 280);
    canvas.fill(
        [](float x, float y) {
            return roundedBoxDistance(x, y, kSize / 2, kSize / 2, kSize / 2 - kFalloff / 2 - 0.5f, kSize / 2 - kFalloff / 2 - 0.5f, 0);
        },
        [](float, float) { return kWhite; }, kFalloff);
    return toPicture(canvas, kWhite);
}

Picture nodeDisc() {
    constexpr float kCentre = 140, kRadius = 137.5f;
    Canvas canvas(280, 280);
    // A soft light from the upper left: white there, about 80 % grey at the far rim,
    // so any tint keeps its colour and gains a little roundness.
    canvas.fill([](float x, float y) { return circleDistance(x, y, kCentre, kCentre, kRadius); },
                [](float x, float y) {
                    float d = std::hypot(x - (kCentre - 40), y - (kCentre - 40)) / (kRadius + 56);
                    float light = 1.0f - 0.2f * d * d;
                    return Colour{light, light, light, 1};
                },
                2.5f);
    return toPicture(canvas, kWhite);
}

Picture sparkGlow() {
    constexpr int kSize = 32;
    constexpr float kCentre = 16, kEdge = 15.5f;
    Canvas canvas(kSize, kSize);
    // A hot core over a wide halo, windowed so that it is exactly clear at the border.
    canvas.fill([](float, float) { return -1.0f; },
                [](float x, float y) {
                    float r = std::hypot(x - kCentre, y - kCentre);
                    float core = std::exp(-(r * r) / (2 * 2.2f * 2.2f));
                    float halo = std::exp(-(r * r) / (2 * 6.0f * 6.0f));
                    float window = std::max(0.0f, 1.0f - (r / kEdge) * (r / kEdge));
                    float a = std::min(1.0f, (0.65f * core + 0.45f * halo) * window * window);
                    return Colour{1, 1, 1, a};
                });
    return toPicture(canvas, kWhite);
}

namespace {

// A line of the title: dark outline and drop shadow, then a vertical gradient fill.
void drawTitleLine(Canvas& canvas, const std::string& fontPath, const std::string& text, int pixelSize,
                   float baseline, float tracking, const Colour& top, const Colour& bottom) {
    TextMask mask =
        renderText(fontPath, text, pixelSize, canvas.width(), canvas.height(), canvas.width() / 2.0f, baseline, tracking);
    if (mask.width == 0) return;
    std::vector<float> outline = dilate(mask.coverage, mask.width, mask.height, 3.0f);
    std::vector<float> shadow(outline.size(), 0.0f);
    constexpr int kShadowX = 2, kShadowY = 3;
    for (int y = kShadowY; y < mask.height; ++y) {
        for (int x = kShadowX; x < mask.width; ++x) {
            shadow[size_t(y) * mask.width + x] = outline[size_t(y - kShadowY) * mask.width + (x - kShadowX)];
        }
    }
    canvas.fillMask(shadow, [](float, float) { return Colour{0, 0, 0, 0.6f}; });
    canvas.fillMask(outline, [](float, float) { return Colour{0.04f, 0.04f, 0.10f, 1}; });
    float capTop = baseline - pixelSize * 0.72f;
    canvas.fillMask(mask.coverage, [=](float, float y) {
        float t = std::clamp((y - capTop) / (baseline - capTop), 0.0f, 1.0f);
        return mix(top, bottom, t);
    });
}

}  // namespace

Picture titleLogo(const std::string& fontPath) {
    Canvas canvas(206, 275);
    drawEmblem(canvas, 103, 93, 90);
    drawTitleLine(canvas, fontPath, "TUMBLE", 50, 228, 0.5f, Colour{1.0f, 0.96f, 0.55f, 1}, Colour{1.0f, 0.55f, 0.08f, 1});
    drawTitleLine(canvas, fontPath, "BOUT", 46, 269, 10.0f, Colour{1.0f, 0.55f, 0.30f, 1}, Colour{0.90f, 0.10f, 0.20f, 1});
    return toPicture(canvas, Colour{0, 0, 0, 0});
}

Picture emblemIcon(int size) {
    Canvas canvas(size, size);
    drawEmblem(canvas, size / 2.0f, size / 2.0f, size / 2.0f - 1);
    return toPicture(canvas, Colour{0, 0, 0, 0});
}

}  // namespace datagen
