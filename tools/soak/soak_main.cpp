// tumblebout-soak: full matches of every mode and level with random held keys for both
// players, checked after every frame, until a number of frames has run. Prints the
// frames, frames per second and the resident memory early and at the end, so a leak
// shows as growth. Exit status 1 on the first fault (with the match that showed it).
//
//   tumblebout-soak [FRAMES [BASE-SEED]]     (defaults: 1000000 frames, seed 1)
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "platform/headless.h"
#include "tools/soak/memory_use.h"
#include "tools/soak/soak_match.h"

namespace fs = std::filesystem;

namespace {

// A match that hangs (a loop that never presents a frame) is a fault too.
constexpr unsigned MatchSecondsLimit = 120;
char hangMessage[200] = "tumblebout-soak: a match hung\n";

void onHang(int) {
    const ssize_t ignored = write(2, hangMessage, sizeof hangMessage - 1);
    (void)ignored;
    _exit(3);
}

const char* endingName(SoakEnding ending) {
    switch (ending) {
        case SoakEnding::KnockOut: return "knock-out";
        case SoakEnding::Quit: return "quit";
        case SoakEnding::Natural: return "natural";
    }
    return "?";
}

}  // namespace

int main(int argc, char** argv) {
    const long targetFrames = argc > 1 ? std::atol(argv[1]) : 1000000;
    const uint32_t baseSeed = argc > 2 ? static_cast<uint32_t>(std::atol(argv[2])) : 1;

    // Score files of the campaign matches land in a folder of their own.
    const fs::path folder = fs::temp_directory_path() / ("tumblebout-soak-" + std::to_string(getpid()));
    fs::create_directories(folder);
    fs::current_path(folder);
    std::signal(SIGALRM, onHang);

    long frames = 0;
    long earlyRss = 0, earlyPeak = 0;
    std::map<std::string, int> outcomes;
    const auto start = std::chrono::steady_clock::now();
    uint32_t index = 0;
    for (; frames < targetFrames; ++index) {
        const SoakMatchPlan plan = soakSpecFor(index, baseSeed);
        std::snprintf(hangMessage, sizeof hangMessage,
                      "tumblebout-soak: match %u (seed %u, mode %s, level %d) hung\n", index,
                      plan.seed, plan.mode.c_str(), plan.level);
        alarm(MatchSecondsLimit);
        const SoakMatchReport report = soakMatch(plan);
        alarm(0);
        frames += report.frames;
        if (!report.fault.empty()) {
            std::printf("FAULT in match %u (seed %u, mode %s, level %d, fight %d frames, ending %s, %s options): %s\n",
                        index, plan.seed, plan.mode.c_str(), plan.level, plan.fightFrames,
                        endingName(plan.ending), plan.randomOptions ? "random" : "default",
                        report.fault.c_str());
            return 1;
        }
        outcomes[plan.mode + " result " + std::to_string(report.result)] += 1;
        // The first matches have touched every kind of allocation the game makes.
        if (index == 30) {
            earlyRss = residentKb();
            earlyPeak = peakResidentKb();
        }
    }
    headless::stop();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::error_code error;
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(folder, error);

    std::printf("matches: %u, frames: %ld, wall time: %.1f s, frames/s: %.0f\n", index, frames,
                seconds, frames / seconds);
    for (const auto& [outcome, count] : outcomes) std::printf("  %-18s %d\n", outcome.c_str(), count);
    std::printf("resident memory after match 30: %ld kB (peak %ld kB)\n", earlyRss, earlyPeak);
    std::printf("resident memory at the end:     %ld kB (peak %ld kB)\n", residentKb(), peakResidentKb());
    std::printf("no fault\n");
    return 0;
}
