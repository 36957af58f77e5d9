// Program entry: the command line, a display to show the game on, the real SDL/OpenGL
// backend, the data folder beside the executable, the per-user folder as working
// directory and the controller mappings found in either, then the one Game.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "game/Game.h"
#include "app/command_line.h"
#include "frontend/after_match_notice.h"
#include "game/fingerprint.h"
#include "game/folders.h"
#include "online/online_game.h"
#include "online/online_menu.h"
#include "platform/controllers.h"
#include "platform/sdl_backend.h"
#include "replay/replay_file.h"
#include "replay/replay_folder.h"
#include "replay/replay_player.h"
#include "replay/replay_recorder.h"

namespace {

// Takes an SDL-allocated path (or null) and frees it.
std::string takeSdlPath(char* path) {
    if (path == nullptr) return "";
    std::string text = path;
    SDL_free(path);
    return text;
}

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// Without a display SDL falls back to its offscreen driver and the game would run
// unseen; a driver the user chose is left to SDL.
bool displayReachable() { return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("SDL_VIDEODRIVER"); }

}  // namespace

int main(int argc, char** argv) {
    const CommandLine line = parseCommandLine({argv + 1, argv + argc});
    if (!line.error.empty()) {
        std::fprintf(stderr, "tumblebout: %s\n%s", line.error.c_str(), usageText().c_str());
        return 2;
    }
    // Resolved before leaving the start folder, so a relative launch path still works.
    const std::string dataFolder = findDataFolder(takeSdlPath(SDL_GetBasePath()));
    if (line.help) {
        std::fputs(helpText(dataFolder).c_str(), stdout);
        return 0;
    }
    if (line.version) {
        std::fputs(versionText().c_str(), stdout);
        return 0;
    }
    if (!displayReachable()) {
        std::fputs("tumblebout: no display to show the game on (DISPLAY and WAYLAND_DISPLAY are unset)\n", stderr);
        return 1;
    }
    if (!installSdlBackend()) {
        std::fprintf(stderr, "tumblebout: cannot start the SDL video system: %s\n", SDL_GetError());
        return 1;
    }
    // The Game draws its first music track when it is made: seeded from the clock
    // first, each start begins with its own track (run seeds again for the game).
    SeedRnd(MilliSecs());
    Game game;
    game.dataFolder = dataFolder;
    game.fullscreenThisRun = line.fullscreen;
    std::error_code error;
    const std::string replayPath = line.replay.empty() ? "" : std::filesystem::absolute(line.replay, error).string();
    // Options and scores go to the per-user folder; if it cannot be made, they stay in
    // the folder the game was started in.
    const std::string userFolder = takeSdlPath(SDL_GetPrefPath("", "tumblebout"));
    enterUserFolder(userFolder);
    // The player's own mappings come last, so they win over the shipped ones.
    addControllerMappings(game.dataPath("gamecontrollerdb.txt"));
    if (!userFolder.empty()) addControllerMappings(userFolder + "gamecontrollerdb.txt");
    try {
        if (line.replayLast || !line.replay.empty()) {
            const std::string path = line.replayLast ? newestReplayIn(ReplayFolderName) : replayPath;
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
        // Every match played is kept in the replay folder; a replay that cannot be
        // saved is said for a moment on the screens that follow.
        ReplayKeeper replays(ReplayFolderName);
        replays.onFailedSave = [&](const std::string& error) { showAfterMatchNotice(game, Upper(error)); };
        game.matchObservers.push_back(&replays);
        // "2 PLAYERS ONLINE": the invite service as the command line or the environment
        // name it, and the local network searched and answered.
        OnlineOptions menuSettings;
        menuSettings.lobby = line.online.lobby;
        menuSettings = withGameDefaults(menuSettings);
        menuSettings.lan = true;
        game.onlineScreen = [&] { onlineMenu(game, menuSettings); };
        if (line.online.role != OnlineRole::None) {
            playOnline(game, line.online);
            game.mainLoop();
        } else {
            game.run();
        }
    } catch (const ProgramEnd& end) {
        return end.exitCode;
    }
    return 0;
}
