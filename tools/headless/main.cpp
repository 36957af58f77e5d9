// tumblebout-headless: runs the real game, from start-up on, on the headless backend,
// driven by an input script, and writes state dumps and pictures at chosen frames.
// Exit status: 0 when the game ends or the frames run out; 2 for a bad argument or
// script line (one line on stderr); otherwise the game's own exit status.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "game/Game.h"
#include "platform/backend.h"
#include "platform/headless.h"
#include "tools/headless/input_script.h"
#include "tools/headless/runner_options.h"
#include "tools/headless/state_dump.h"

namespace fs = std::filesystem;

namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "tumblebout-headless: %s\n", message.c_str());
    return 2;
}

// The generated data lies beside the runner in the build folder.
std::string ownFolder() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : self.parent_path().string();
}

// After the N-th presented frame: the dumps and shots of that frame, then the stop.
void afterFrame(const RunnerOptions& options, const Game& game, int frame) {
    for (const FrameFile& dump : options.dumps) {
        if (dump.frame == frame && !writeStateJson(game, frame, dump.path)) {
            std::fprintf(stderr, "tumblebout-headless: cannot write %s\n", dump.path.c_str());
            throw ProgramEnd{2};
        }
    }
    for (const FrameFile& shot : options.shots) {
        if (shot.frame == frame && !headless::saveLastFrame(shot.path)) {
            std::fprintf(stderr, "tumblebout-headless: cannot write %s\n", shot.path.c_str());
            throw ProgramEnd{2};
        }
    }
    if (options.frames >= 0 && frame >= options.frames) throw ProgramEnd{0};
}

}  // namespace

int main(int argc, char** argv) {
    const ParsedArgs parsed = parseRunnerArgs(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) return fail(parsed.error);
    const RunnerOptions& options = parsed.options;

    ScriptResult script;
    if (!options.inputPath.empty()) {
        std::error_code error;
        std::ifstream file(options.inputPath, std::ios::binary);
        if (!fs::is_regular_file(options.inputPath, error) || !file) {
            return fail("cannot read the input script " + options.inputPath);
        }
        std::ostringstream text;
        text << file.rdbuf();
        script = parseInputScript(text.str());
        if (!script.error.empty()) return fail(options.inputPath + " " + script.error);
    }

    // Paths given relative to the start folder keep meaning it after --dir.
    std::error_code error;
    const std::string dataFolder =
        fs::absolute(options.dataFolder.empty() ? ownFolder() : options.dataFolder, error).string();
    RunnerOptions absolute = options;
    for (FrameFile& file : absolute.dumps) file.path = fs::absolute(file.path, error).string();
    for (FrameFile& file : absolute.shots) file.path = fs::absolute(file.path, error).string();
    if (!options.workFolder.empty()) {
        fs::current_path(options.workFolder, error);
        if (error) return fail("--dir " + options.workFolder + ": cannot enter the folder");
    }
    if (options.frames == 0) return 0;

    headless::Options backend;
    backend.startMs = options.startMs.value_or(systemMilliSecs());
    backend.record = false;
    backend.offscreenGL = !options.shots.empty();
    headless::start(backend);
    for (const headless::ScriptEvent& event : script.events) headless::schedule(event);

    int exitCode = 0;
    {
        // Made after start, which seeds the generator the Game draws its first track from.
        Game game;
        game.dataFolder = dataFolder;
        headless::setFrameHook([&](int frame) { afterFrame(absolute, game, frame); });
        try {
            game.run();
        } catch (const ProgramEnd& end) {
            exitCode = end.exitCode;
        }
        headless::setFrameHook(nullptr);
    }
    headless::stop();
    return exitCode;
}
