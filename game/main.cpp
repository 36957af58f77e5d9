// Program entry: the real SDL/OpenGL backend, the data folder beside the executable,
// the per-user folder as working directory, then the one Game.
#include <SDL.h>

#include <cstdio>
#include <string>

#include "game/Game.h"
#include "game/folders.h"
#include "platform/sdl_backend.h"

namespace {

// Takes an SDL-allocated path (or null) and frees it.
std::string takeSdlPath(char* path) {
    if (path == nullptr) return "";
    std::string text = path;
    SDL_free(path);
    return text;
}

}  // namespace

int main() {
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
    // Options and scores go to the per-user folder; if it cannot be made, they stay in
    // the folder the game was started in.
    enterUserFolder(takeSdlPath(SDL_GetPrefPath("", "tumblebout")));
    try {
        game.run();
    } catch (const ProgramEnd& end) {
        return end.exitCode;
    }
    return 0;
}
