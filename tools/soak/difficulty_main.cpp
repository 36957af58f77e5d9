// tumblebout-difficulty: how hard the computer is on a player who does nothing, at
// level 1 with the default options, for AI LEVEL 1 and 10 over several seeds. Prints
// per seed the blows the enemy landed per minute of game time (60 frames a second,
// counted from "FIGHT!", when blows start to count) and how long the player survived.
//
//   tumblebout-difficulty [SEEDS [MINUTES [LEVEL]]]   (defaults: 8 seeds, 10 minutes, level 1)
#include <cstdio>
#include <cstdlib>

#include "platform/headless.h"
#include "tools/soak/idle_player.h"

namespace {
constexpr int FightFrame = 100;  // no blow counts before "FIGHT!"
}

int main(int argc, char** argv) {
    const int seeds = argc > 1 ? std::atoi(argv[1]) : 8;
    const int minutes = argc > 2 ? std::atoi(argv[2]) : 10;
    const int level = argc > 3 ? std::atoi(argv[3]) : 1;
    const int frameLimit = minutes * 3600;
    for (int aiLevel : {1, 10}) {
        std::printf("AI LEVEL %d, level %d, default options, idle player (limit %d min):\n", aiLevel, level, minutes);
        double blowSum = 0, minuteSum = 0, survivalSum = 0;
        int survivors = 0, enemiesOut = 0;
        for (int s = 1; s <= seeds; ++s) {
            const uint32_t seed = 1000u * static_cast<uint32_t>(s) + 7u;
            const IdleMatch match = playIdle(seed, aiLevel, level, frameLimit);
            const double fightMinutes = (match.frames - FightFrame) / 3600.0;
            const double perMinute = fightMinutes > 0 ? match.blowsTaken / fightMinutes : 0;
            std::printf("  seed %6u: %3d blows in %6.2f min = %6.2f blows/min; ", seed,
                        match.blowsTaken, fightMinutes, perMinute);
            if (match.knockedOut)
                std::printf("knocked out after %.1f s\n", match.frames / 60.0);
            else if (match.enemiesOut)
                std::printf("the enemy fell first (%d blows landed by chance) after %.1f s\n",
                            match.blowsLanded, match.frames / 60.0);
            else
                std::printf("still standing after %.1f s\n", match.frames / 60.0);
            blowSum += match.blowsTaken;
            minuteSum += fightMinutes;
            if (match.knockedOut) survivalSum += match.frames / 60.0; else ++survivors;
            if (match.enemiesOut) ++enemiesOut;
        }
        std::printf("  overall: %.2f blows/min", minuteSum > 0 ? blowSum / minuteSum : 0.0);
        if (survivors < seeds)
            std::printf("; mean survival of the %d knocked out: %.1f s", seeds - survivors,
                        survivalSum / (seeds - survivors));
        std::printf("; %d of %d not knocked out (%d of them because the enemy fell first)\n",
                    survivors, seeds, enemiesOut);
    }
    headless::stop();
    return 0;
}
