// tumblebout-headless: runs the real game, from start-up on, on the headless backend,
// driven by an input script, and writes state dumps and pictures at chosen frames. With
// --replay it plays a saved match instead, its first frame being frame 0; with --host
// or --join an online series (tools/headless/online_run.h).
// Exit status: 0 when the game ends or the frames run out; 2 for a bad argument,
// folder, script or replay (one line on stderr); otherwise the game's own exit status.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>

#include "frontend/after_match_notice.h"
#include "game/Game.h"
#include "game/fingerprint.h"
#include "platform/backend.h"
#include "platform/headless.h"
#include "platform/regular_file.h"
#include "replay/replay_file.h"
#include "replay/replay_folder.h"
#include "replay/replay_player.h"
#include "replay/replay_recorder.h"
#include "tools/headless/input_script.h"
#include "tools/headless/online_run.h"
#include "tools/headless/runner_options.h"
#include "tools/headless/state_dump.h"

namespace fs = std::filesystem;

namespace {

// Scripts larger than this are refused rather than read: an hour of two players'
// keys is a few megabytes.
constexpr long long maxScriptBytes = 64LL << 20;

// Control bytes of echoed words (a script's or an argument's) are shown escaped, so an
// error line stays one plain line.
std::string printable(const std::string& text) {
    std::string out;
    for (const unsigned char c : text) {
        if (c < 0x20 || c == 0x7f) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "tumblebout-headless: %s\n", printable(message).c_str());
    return 2;
}

// The generated data lies beside the runner in the build folder.
std::string ownFolder() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : self.parent_path().string();
}

// The script's events, or what is wrong with it. Only a regular file is opened, so a
// FIFO cannot hang the runner.
std::string readScript(const std::string& path, ScriptResult& script) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(openRegularFile(path, "rb"), std::fclose);
    struct stat info {};
    if (!file || fstat(fileno(file.get()), &info) != 0) return "cannot read the input script " + path;
    if (info.st_size > maxScriptBytes) return "the input script " + path + " is larger than 64 MiB";
    std::string text(static_cast<std::size_t>(info.st_size), '\0');
    if (std::fread(text.data(), 1, text.size(), file.get()) != text.size())
        return "cannot read the input script " + path;
    script = parseInputScript(text);
    return script.error.empty() ? "" : path + " " + script.error;
}

// After the N-th presented frame: the dumps and shots of that frame, then the stop.
void afterFrame(const RunnerOptions& options, const Game& game, int frame) {
    for (const FrameFile& dump : options.dumps) {
        if (dump.frame == frame && !writeStateJson(game, frame, dump.path))
            throw ProgramEnd{fail("cannot write " + dump.path)};
    }
    for (const FrameFile& shot : options.shots) {
        if (shot.frame == frame && !headless::saveLastFrame(shot.path))
            throw ProgramEnd{fail("cannot write " + shot.path)};
    }
    if (frame >= options.frames) throw ProgramEnd{0};
}

}  // namespace

int main(int argc, char** argv) {
    const ParsedArgs parsed = parseRunnerArgs(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) return fail(parsed.error);
    const RunnerOptions& options = parsed.options;

    ScriptResult script;
    if (!options.inputPath.empty()) {
        try {
            if (const std::string error = readScript(options.inputPath, script); !error.empty()) return fail(error);
        } catch (const std::bad_alloc&) {
            return fail("not enough memory for the input script " + options.inputPath);
        }
    }

    // A replay is read (and refused) before anything starts.
    ReplayResult replay;
    if (!options.replayPath.empty()) {
        replay = readReplayFile(options.replayPath, simulationFingerprint());
        if (!replay.error.empty()) return fail(replay.error);
    }

    // Paths given relative to the start folder keep meaning it after --dir.
    std::error_code error;
    const std::string dataFolder =
        fs::absolute(options.dataFolder.empty() ? ownFolder() : options.dataFolder, error).string();
    if (!fs::is_directory(dataFolder, error)) return fail("--data " + options.dataFolder + ": no such folder");
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
    const bool online = options.online.role != OnlineRole::None;
    // Online, the script's keys are the local player's, read frame by frame.
    if (!online) {
        for (const headless::ScriptEvent& event : script.events) headless::schedule(event);
    }

    int exitCode = 0;
    {
        // Made after start, which seeds the generator the Game draws its first track from.
        Game game;
        game.dataFolder = dataFolder;
        ReplayKeeper replays(ReplayFolderName);
        replays.onFailedSave = [&](const std::string& error) { showAfterMatchNotice(game, Upper(error)); };
        game.matchObservers.push_back(&replays);
        if (!online) headless::setFrameHook([&](int frame) { afterFrame(absolute, game, frame); });
        try {
            if (online) exitCode = runOnline(game, absolute, script);
            else exitCode = options.replayPath.empty() ? (game.run(), 0) : watchReplay(game, replay.replay);
        } catch (const ProgramEnd& end) {
            exitCode = end.exitCode;
        }
        headless::setFrameHook(nullptr);
    }
    headless::stop();
    return exitCode;
}
