// Levels and opponents: the level table, the set-up of a match's arena and fighters,
// and which player an enemy attacks in the co-operative game.

#include <algorithm>
#include <array>

#include "game/match_state.h"
#include "platform/platform.h"

namespace {

struct LevelRow {
    float arenaScale;  // walls at +-arenaScale * 512 across, +-arenaScale * 384 down
    float enemyScale;
    int fighters;      // player 1 and the enemies
};

// Levels 1..10; levels 11..20 repeat them with robot enemies.
constexpr std::array<LevelRow, 11> levelTable = {{
    {0.0f, 0.0f, 0},  // unused: levels count from 1
    {1.5f, 2.0f, 2},
    {1.7f, 2.5f, 2},
    {1.9f, 2.0f, 3},
    {2.1f, 2.4f, 3},
    {2.1f, 3.4f, 2},  // boss
    {2.6f, 2.0f, 4},
    {2.8f, 2.3f, 4},
    {3.4f, 2.0f, 5},
    {3.6f, 2.2f, 5},
    {3.0f, 4.5f, 2},  // boss
}};

constexpr int LastLevel = 20;
constexpr int FirstRobotLevel = 11;

const LevelRow& rowOfLevel(int level) {
    // The campaign only ever asks for 1..20; anything else is held inside the table
    // rather than read past its end.
    const int clamped = std::clamp(level, 1, LastLevel);
    return levelTable[(clamped - 1) % 10 + 1];
}

constexpr Colour playerOneColour{0, 175, 175, 175};
constexpr Colour playerTwoCoopColour{0, 255, 255, 255};
constexpr Colour opponentColour{0, 65, 65, 65};
constexpr float playerScale = 2.0f;

float squaredDistance(const ball& a, const ball& b) {
    const float dx = a.x - b.x;
    const float dy = a.y - b.y;
    return dx * dx + dy * dy;
}

using Fighters = std::array<man, 7>;

void setUpVersusFighters(Fighters& fighters) {
    fighters[1].scale = playerScale;
    fighters[2].scale = playerScale;
    fighters[1].team = 1;
    fighters[2].team = 0;
    fighters[1].setup(2);
    fighters[2].setup(2);
    fighters[1].colour = playerOneColour;
    fighters[2].colour = opponentColour;
}

void setUpCampaignFighters(Fighters& fighters, int count, const LevelRow& row, int players, bool robots) {
    for (int i = 1; i <= count; ++i) {
        man& fighter = fighters[i];
        if (i <= players) {
            fighter.scale = playerScale;
            fighter.team = 1;
        } else {
            fighter.scale = row.enemyScale;
            if (robots) fighter.isRobot = 1;
        }
    }
    // Every fighter is built in the opponents' colour (robots take their own in
    // setup); the players are recoloured afterwards.
    for (int i = 1; i <= count; ++i) {
        fighters[i].colour = opponentColour;
        fighters[i].setup(count);
    }
    fighters[1].colour = playerOneColour;
    if (players == 2) fighters[2].colour = playerTwoCoopColour;
}

}  // namespace

void MatchState::setupMatch() {
    matchResult = 0;
    drainMatchInput();
    matchState = "game";
    maxCombo = 0;
    levelStartScore = static_cast<int>(static_cast<uint32_t>(totalScore));
    comboScore = 0;
    combo = 0;
    winner = 0;
    frameCounter = 0;

    bursts.assign(BurstSlots + 1, dotburst{});

    const bool versus = gameMode == "2vs";
    const bool coop = gameMode == "2coop";
    const LevelRow& row = rowOfLevel(versus ? 1 : level);
    arenaRight = row.arenaScale * 1024 / 2;
    arenaLeft = row.arenaScale * -1024 / 2;
    arenaTop = row.arenaScale * -768 / 2;
    arenaFloor = row.arenaScale * 768 / 2;
    fighterCount = versus ? 2 : coop ? row.fighters + 1 : row.fighters;

    // The previous match's fighters are dropped, including any beyond this count.
    for (int i = 1; i < static_cast<int>(fighters.size()); ++i) {
        fighters[i] = man{};
        fighters[i].fighterNo = i;
    }
    if (versus) setUpVersusFighters(fighters);
    else setUpCampaignFighters(fighters, fighterCount, row, coop ? 2 : 1, level >= FirstRobotLevel);
    // The nodes' random places were drawn from the game's generator: the match goes on from here.
    randomState = RndState();
}

int MatchState::chooseTarget(const man& enemy) const {
    const ball& hips = enemy.nodes[HipsNode];
    const float toFirst = squaredDistance(hips, fighters[1].nodes[HipsNode]);
    const float toSecond = squaredDistance(hips, fighters[2].nodes[HipsNode]);
    int target = toFirst < toSecond ? 1 : 2;  // a tie goes to player 2
    if (fighters[1].knockedOut) target = 2;
    if (fighters[2].knockedOut) target = 1;
    return target;
}
