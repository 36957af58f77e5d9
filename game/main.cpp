// Program entry: the real SDL/OpenGL backend, the data folder beside the executable,
// the per-user folder as working directory, then the one Game.
#include <SDL.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "game/Game.h"
#include "game/fingerprint.h"
#include "game/folders.h"
#include "platform/sdl_backend.h"
#include "replay/replay_file.h"
#include "replay/replay_folder.h"
#include "replay/replay_player.h"

namespace {

// Takes an SDL-allocated path (or null) and frees it.
std::string takeSdlPath(char* path) {
    if (path == nullptr) return "";
    std::string text = path;
    SDL_free(path);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    // --replay FILE or --replay-last: watch a saved match instead of playing.
    const std::string option = argc > 1 ? argv[1] : "";
    const bool replayLast = argc == 2 && option == "--replay-last";
    const bool replayFile = argc == 3 && option == "--replay";
    if (argc > 1 && !replayLast && !replayFile) {
        std::fprintf(stderr, "usage: tumblebout [--replay FILE | --replay-last]\n");
        return 2;
    }
    if (!installSdlBackend()) {
        std::fprintf(stderr, "tumblebout: cannot start the SDL video system: %s\n", SDL_GetError());
        return 1;
    }
    // The Game draws its first music track when it is made: seeded from the clock
    // first, each start begins with its own track (run seeds again for the game).
    SeedRnd(MilliSecs());
    Game game;
    // Resolved before leaving the start folder, so a relative launch path still works.
    game.dataFolder = findDataFolder(takeSdlPath(SDL_GetBasePath()));
    std::error_code error;
    const std::string replayPath = replayFile ? std::filesystem::absolute(argv[2], error).string() : "";
    // Options and scores go to the per-user folder; if it cannot be made, they stay in
    // the folder the game was started in.
    enterUserFolder(takeSdlPath(SDL_GetPrefPath("", "tumblebout")));
    try {
        if (replayLast || replayFile) {
            const std::string path = replayFile ? replayPath : newestReplayIn(ReplayFolderName);
            if (path.empty()) {
                std::fprintf(stderr, "tumblebout: no replay saved yet\n");
                return 2;
            }
            const ReplayResult read = readReplayFile(path, simulationFingerprint());
            if (!read.error.empty()) {
                std::fprintf(stderr, "tumblebout: %s\n", read.error.c_str());
                return 2;
            }
            return watchReplay(game, read.replay);
        }
        game.replayFolder = ReplayFolderName;
        game.run();
    } catch (const ProgramEnd& end) {
        return end.exitCode;
    }
    return 0;
}
