#include "tools/soak/idle_player.h"

#include "game/Game.h"
#include "platform/headless.h"

namespace {
struct Stop {};
const std::string OnePlayer = "1";
}  // namespace

IdleMatch playIdle(uint32_t seed, int aiLevel, int level, int frameLimit) {
    headless::Options backend;
    backend.record = false;
    headless::start(backend);
    Graphics(1024, 768, 0, 60, 0);

    Game game;
    game.setDefaultOptions();
    game.aiLevel = aiLevel;
    game.gameMode = OnePlayer;
    game.level = level;
    SeedRnd(static_cast<int>(seed));

    IdleMatch result;
    float playerEnergy = -1;
    float enemyEnergy = -1;
    headless::setFrameHook([&](int) {
        const man& player = game.fighters[1];
        float enemies = 0;
        for (int i = 2; i <= game.fighterCount; ++i) enemies += game.fighters[i].energy;
        // Every blow lowers the struck side's energy in the frame it lands.
        if (playerEnergy >= 0 && player.energy < playerEnergy) {
            result.blowsTaken += 1;
            result.damageTaken += playerEnergy - player.energy;
        }
        if (enemyEnergy >= 0 && enemies < enemyEnergy) result.blowsLanded += 1;
        playerEnergy = player.energy;
        enemyEnergy = enemies;
        result.frames = game.frameCounter;
        if (player.knockedOut) result.knockedOut = true;
        if (game.winner == 1) result.enemiesOut = true;
        if (result.knockedOut || game.matchState != "game" || game.frameCounter >= frameLimit) throw Stop{};
    });
    try {
        game.playMatch();
    } catch (const Stop&) {
    }
    headless::setFrameHook(nullptr);
    return result;
}
