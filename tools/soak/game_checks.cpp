// The checks behind findFault: cheap enough to run after every frame of a long soak.
#include "tools/soak/game_checks.h"

#include <cmath>

#include "game/Game.h"

namespace {

std::string fighterPrefix(int i) { return "fighter " + std::to_string(i) + ": "; }

std::string nodeFault(const ball& node) {
    const std::pair<const char*, float> fields[] = {
        {"x", node.x},   {"y", node.y},       {"vx", node.vx},     {"vy", node.vy},
        {"oldX", node.oldX}, {"oldY", node.oldY}, {"radius", node.radius}, {"size", node.size},
        {"mass", node.mass},
    };
    for (const auto& [name, value] : fields) {
        if (!std::isfinite(value)) return std::string(name) + " is " + std::to_string(value);
    }
    return "";
}

std::string fighterFault(const man& fighter) {
    if (!std::isfinite(fighter.energy) || !std::isfinite(fighter.maxEnergy))
        return "energy or maxEnergy not finite";
    if (fighter.energy < 0 || fighter.energy > fighter.maxEnergy)
        return "energy " + std::to_string(fighter.energy) + " outside 0.." +
               std::to_string(fighter.maxEnergy);
    if (!(fighter.cameraWeight >= 0 && fighter.cameraWeight <= 1))
        return "cameraWeight " + std::to_string(fighter.cameraWeight);
    if (fighter.knockedOut != 0 && fighter.knockedOut != 1) return "knockedOut not 0 or 1";
    if (fighter.lastContact < 1 || fighter.lastContact > 8)
        return "lastContact " + std::to_string(fighter.lastContact);
    for (int n = 1; n <= fighter.nodeCount; ++n) {
        const std::string fault = nodeFault(fighter.nodes[n]);
        if (!fault.empty()) return "node " + std::to_string(n) + " " + fault;
    }
    return "";
}

std::string burstFault(const dotburst& burst) {
    if (!burst.active) return "";
    if (burst.count < 0 || burst.count > MaxParticles) return "count " + std::to_string(burst.count);
    for (int i = 1; i <= burst.count; ++i) {
        if (!std::isfinite(burst.xs[i]) || !std::isfinite(burst.ys[i]) ||
            !std::isfinite(burst.vxs[i]) || !std::isfinite(burst.vys[i]))
            return "particle " + std::to_string(i) + " not finite";
    }
    return "";
}

}  // namespace

bool isMatchState(const std::string& state) {
    for (const char* known : {"game", "tell result", "level completed", "game over", "highscores", "end"})
        if (state == known) return true;
    return false;
}

std::string findFault(const Game& game) {
    if (game.fighterCount < 2 || game.fighterCount > 6)
        return "fighterCount " + std::to_string(game.fighterCount);
    for (int i = 1; i <= game.fighterCount; ++i) {
        const std::string fault = fighterFault(game.fighters[i]);
        if (!fault.empty()) return fighterPrefix(i) + fault;
    }
    if (!std::isfinite(game.cameraX) || !std::isfinite(game.cameraY) || !std::isfinite(game.zoom) ||
        !(game.zoom > 0))
        return "camera not finite or zoom not positive";
    if (!std::isfinite(game.timeStep) || !(game.timeStep > 0)) return "timeStep not positive";
    if (!std::isfinite(game.slowMotionTimer)) return "slowMotionTimer not finite";
    if (game.nextBurst < 1 || game.nextBurst > BurstSlots)
        return "nextBurst " + std::to_string(game.nextBurst);
    for (int slot = 1; slot <= BurstSlots; ++slot) {
        const std::string fault = burstFault(game.bursts[static_cast<std::size_t>(slot)]);
        if (!fault.empty()) return "burst " + std::to_string(slot) + ": " + fault;
    }
    if (!isMatchState(game.matchState)) return "unknown match state '" + game.matchState + "'";
    if (game.winner < 0 || game.winner > 2) return "winner " + std::to_string(game.winner);
    if (game.comboScore < 0 || game.totalScore < 0) return "negative score";
    return "";
}
