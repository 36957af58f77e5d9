// Drawing speed on the real OpenGL renderer, offscreen: match-like frames drawn
// through the game's drawing functions, batched and (for comparison) one GL call per
// shape, on the renderer's fast surface and on its plain fallback. Each frame ends
// with glFinish so the software rasteriser's work is counted. Reported per frame:
// median_ms and p99_ms.

#include <SDL_opengl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/backend.h"
#include "platform/gl_renderer.h"
#include "platform/image.h"
#include "platform/platform.h"
#include "platform/sdl_backend.h"
#include "tools/bench/frame_times.h"

namespace {

// Presents by waiting for GL to finish: the frame's whole cost, no pacing.
class BenchBackend final : public Backend {
public:
    BenchBackend() : renderer_(createOffscreenRenderer()) {}
    bool openDisplay(int, int, bool, int) override { return renderer_ != nullptr; }
    void setTitle(const std::string&) override {}
    void setIcon(const Image&) override {}
    void hideMouse() override {}
    void pollEvents() override {}
    void present() override { glFinish(); }
    double milliseconds() override { return nowMs(); }
    void sleep(int) override {}
    Renderer* renderer() override { return renderer_.get(); }

private:
    std::unique_ptr<Renderer> renderer_;
};

// A square picture whose alpha falls from the centre outwards: sharp for a disc,
// soft for a spark.
ImageRef radialImage(int size, float softness) {
    auto image = std::make_shared<Image>();
    image->width = image->height = size;
    image->flags = MASKEDIMAGE | FILTEREDIMAGE | MIPMAPPEDIMAGE;
    image->rgba.resize(static_cast<size_t>(size) * size * 4);
    const float centre = size * 0.5f;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float d = std::hypot(x + 0.5f - centre, y + 0.5f - centre) / centre;
            const float a = std::clamp((1.0f - d) / softness, 0.0f, 1.0f);
            uint8_t* p = &image->rgba[(static_cast<size_t>(y) * size + x) * 4];
            p[0] = p[1] = p[2] = 255;
            p[3] = static_cast<uint8_t>(a * 255);
        }
    }
    MidHandleImage(image);
    return image;
}

ImageRef squareImage(int size) {
    auto image = std::make_shared<Image>();
    image->width = image->height = size;
    image->flags = MASKEDIMAGE | FILTEREDIMAGE | MIPMAPPEDIMAGE;
    image->rgba.assign(static_cast<size_t>(size) * size * 4, 230);
    MidHandleImage(image);
    return image;
}

struct Scene {
    ImageRef ball = radialImage(280, 0.05f);
    ImageRef stick = squareImage(280);
    ImageRef spark = radialImage(64, 1.0f);
    FontRef font = LoadImageFont("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 200, 4);
};

// A fixed scatter, the same every frame and every run.
struct Scatter {
    uint32_t state = 12345;
    float next(float lo, float hi) {
        state = state * 1664525u + 1013904223u;
        return lo + (hi - lo) * static_cast<float>(state >> 8) / 16777216.0f;
    }
};

Scene& scene() {
    static Scene scene;
    return scene;
}

void drawFight(Scene& s) {
    Scatter r;
    Cls();
    SetBlend(1);  // the arena grid
    SetColor(40, 80, 160);
    for (int i = 0; i < 300; ++i) DrawLine(r.next(0, 1024), r.next(0, 768), r.next(0, 1024), r.next(0, 768));
    for (int i = 0; i < 300; ++i) {
        const float y = r.next(0, 768);
        DrawLine(0, y, r.next(100, 1024), y);
    }
    SetBlend(3);
    for (int i = 0; i < 300; ++i) {  // fighters: sticks and nodes in turn
        SetColor(static_cast<int>(r.next(60, 255)), static_cast<int>(r.next(60, 255)), 200);
        const float size = r.next(5, 40);
        if (i % 2) {
            SetRotation(r.next(0, 360));
            SetScale(size / 280, size / 280 * 0.3f);
            DrawImage(s.stick, r.next(100, 900), r.next(100, 700));
        } else {
            SetRotation(0);
            SetScale(size / 280, size / 280);
            DrawImage(s.ball, r.next(100, 900), r.next(100, 700));
        }
    }
    SetRotation(0);
    SetColor(222, 0, 0);  // blood
    SetAlpha(0.8f);
    SetScale(6.0f / 280, 6.0f / 280);
    for (int i = 0; i < 2000; ++i) DrawImage(s.ball, r.next(0, 1024), r.next(0, 768));
    SetBlend(4);  // plasma sparks
    SetColor(120, 200, 255);
    SetScale(20.0f / 64, 20.0f / 64);
    for (int i = 0; i < 200; ++i) DrawImage(s.spark, r.next(0, 1000), r.next(0, 750));
    SetBlend(3);
    SetAlpha(1);
    SetColor(255, 255, 255);
    SetImageFont(s.font);
    SetScale(0.1875f, 0.1875f);
    for (int i = 0; i < 12; ++i) DrawText("COMBO 12  SCORE 4500", r.next(0, 600), r.next(0, 700));
    SetScale(1, 1);
}

void drawParticles(Scene& s) {
    Scatter r;
    Cls();
    SetBlend(3);
    SetColor(222, 0, 0);
    SetAlpha(0.7f);
    SetScale(10.0f / 280, 10.0f / 280);
    for (int i = 0; i < 30000; ++i) DrawImage(s.ball, r.next(0, 1024), r.next(0, 768));
    SetScale(1, 1);
    SetAlpha(1);
}

void runFrames(benchmark::State& state, void (*draw)(Scene&)) {
    // Other benchmarks install their own backends: each run brings its own.
    installBackend(nullptr);  // one offscreen context at a time
    const SurfaceKind surface = state.range(1) ? SurfaceKind::Fast : SurfaceKind::Plain;
    GlRenderer::preferSurface(surface);
    installBackend(std::make_unique<BenchBackend>());
    GlRenderer::preferSurface(SurfaceKind::Fast);
    Graphics(1024, 768);
    Scene& s = scene();
    auto* gl = dynamic_cast<GlRenderer*>(currentBackend().renderer());
    if (!gl || gl->surfaceKind() != surface) {
        state.SkipWithError(gl ? "the driver refused the fast surface" : "no offscreen OpenGL");
        return;
    }
    gl->setBatching(state.range(0) != 0);
    draw(s);  // textures and glyphs are made on first draw, not measured
    Flip();
    FrameTimes times;
    for (auto _ : state) {
        const double start = nowMs();
        draw(s);
        Flip();
        times.add(nowMs() - start);
    }
    gl->setBatching(true);
    times.report(state);
    state.SetLabel(glDescription());
}

void BM_RenderFightFrame(benchmark::State& state) { runFrames(state, drawFight); }
void BM_RenderParticles30k(benchmark::State& state) { runFrames(state, drawParticles); }

}  // namespace

// Arguments: batched (1) or one GL call per shape (0); the fast surface (1) or the
// plain fallback (0).
BENCHMARK(BM_RenderFightFrame)->ArgNames({"batched", "fast_surface"})->ArgsProduct({{1, 0}, {1, 0}})->Iterations(120)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderParticles30k)->ArgNames({"batched", "fast_surface"})->ArgsProduct({{1, 0}, {1, 0}})->Iterations(30)->Unit(benchmark::kMillisecond)->UseRealTime();
