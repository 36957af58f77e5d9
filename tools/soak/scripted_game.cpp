#include "tools/soak/scripted_game.h"

#include "game/Game.h"

namespace {
struct Stop {};
}  // namespace

int playScripted(const ScriptedGame& run, const std::function<bool(const Game&, int)>& watch) {
    headless::Options backend;
    backend.startMs = run.startMs;
    backend.record = false;
    headless::start(backend);
    for (const headless::ScriptEvent& event : run.events) headless::schedule(event);

    int exitCode = 0;
    {
        // Made after start, which seeds the generator the Game draws its first track from.
        Game game;
        game.dataFolder = run.dataFolder;
        headless::setFrameHook([&](int frame) {
            if (!watch(game, frame)) throw Stop{};
        });
        try {
            game.run();
        } catch (const Stop&) {
        } catch (const ProgramEnd& end) {
            exitCode = end.exitCode;
        }
        headless::setFrameHook(nullptr);
    }
    headless::stop();
    return exitCode;
}
