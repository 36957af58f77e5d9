// Reading and scheduling a long input script for the headless runner: 100,000 taps,
// all on one frame (where each release used to be inserted before the presses after
// it) and one per frame.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/headless.h"
#include "tools/headless/input_script.h"

namespace {

void scheduleScript(benchmark::State& state) {
    const bool oneFrame = state.range(0) == 0;
    std::string text;
    for (int line = 0; line < 100000; ++line) text += (oneFrame ? "0" : std::to_string(line)) + " tap A\n";
    for (auto _ : state) {
        headless::start();
        for (const headless::ScriptEvent& event : parseInputScript(text).events) headless::schedule(event);
    }
    state.SetLabel(oneFrame ? "100,000 taps on one frame" : "100,000 taps, one a frame");
    headless::start();
}

}  // namespace

BENCHMARK(scheduleScript)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
