// The headless backend's cost per frame for a match-sized frame of calls (images,
// lines, a few texts, state changes), with the draw-call recorder on and off, and
// rendered offscreen as for screenshots (which also reads every presented frame back).
// Long headless runs and every test pay this, so it must stay far below a real frame.
#include <benchmark/benchmark.h>

#include <memory>

#include "platform/headless.h"
#include "platform/image.h"
#include "platform/platform.h"

namespace {

void drawMatchLikeFrame(const ImageRef& node, int images) {
    Cls();
    SetBlend(3);
    for (int i = 0; i < images; ++i) {
        SetColor(i & 255, 128, 255 - (i & 255));
        SetRotation(static_cast<float>(i % 360));
        SetScale(0.05f, 0.08f);
        DrawImage(node, static_cast<float>(i % 1024), static_cast<float>(i % 768));
    }
    SetRotation(0);
    SetScale(1, 1);
    for (int i = 0; i < 600; ++i) DrawLine(0, static_cast<float>(i), 1024, static_cast<float>(i));
    SetScale(0.1875f, 0.1875f);
    for (int i = 0; i < 12; ++i) DrawText("COMBO 12", 100, static_cast<float>(40 * i));
    SetScale(1, 1);
    Flip();
}

void headlessFrame(benchmark::State& state) {
    headless::Options options;
    options.record = state.range(0) != 0;
    options.offscreenGL = state.range(0) == 2;
    headless::start(options);
    Graphics(1024, 768);
    auto node = std::make_shared<Image>();
    node->width = node->height = 280;
    node->handleX = node->handleY = 140;
    for (auto _ : state) drawMatchLikeFrame(node, 2500);
    state.SetLabel(options.offscreenGL ? "recorded and rendered offscreen"
                   : options.record   ? "recorded"
                                      : "not recorded");
    headless::start();
}

// The floor of an offscreen frame: clear, finish and read the frame back.
void emptyOffscreenFrame(benchmark::State& state) {
    headless::start({.offscreenGL = true});
    Graphics(1024, 768);
    for (auto _ : state) {
        Cls();
        Flip();
    }
    headless::start();
}

}  // namespace

BENCHMARK(emptyOffscreenFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(headlessFrame)->Arg(1)->Arg(0)->Arg(2)->Unit(benchmark::kMicrosecond);
