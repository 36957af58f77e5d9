#pragma once
// Per-frame wall times of a drawing benchmark, reported as the counters median_ms and
// p99_ms, and a label naming the OpenGL the frames were drawn with: on a software
// rasteriser the figures depend on its thread count (Mesa's LP_NUM_THREADS).

#include <SDL_opengl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

inline double nowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

class FrameTimes {
public:
    void add(double ms) { frames_.push_back(ms); }
    void report(benchmark::State& state) {
        if (frames_.empty()) return;
        std::sort(frames_.begin(), frames_.end());
        state.counters["median_ms"] = frames_[frames_.size() / 2];
        state.counters["p99_ms"] = frames_[std::min(frames_.size() - 1, frames_.size() * 99 / 100)];
    }

private:
    std::vector<double> frames_;
};

// The current context's renderer and the software rasteriser's thread setting.
inline std::string glDescription() {
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const char* threads = std::getenv("LP_NUM_THREADS");
    return std::string(renderer ? renderer : "no GL") + ", LP_NUM_THREADS " + (threads ? threads : "unset");
}
