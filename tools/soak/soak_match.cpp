// The soak match driver: random keys, the endings, and the checks after each frame.
#include "tools/soak/soak_match.h"

#include <random>
#include <vector>

#include "frontend/option_table.h"
#include "game/Game.h"
#include "platform/headless.h"
#include "tools/soak/game_checks.h"

namespace {

constexpr int Enter = 13, Esc = 27, Space = 32, P = 80;
constexpr int Left = 37, Up = 38, Right = 39, Down = 40;
constexpr int W = 87, A = 65, S = 83, D = 68;
constexpr int One = '1', Four = '4', Eight = '8';
// After its ending starts (and an undecided natural fight is quit), a match must be
// over within this many frames: the result, the tally and the score table.
constexpr long EndingFrames = 1500;

struct Stop {};  // thrown by the frame hook to abandon a faulty match

class KeyDriver {
public:
    explicit KeyDriver(uint32_t seed) : random_(seed) {}

    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }
    int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }

    void set(int key, bool down) {
        const bool wasDown = held_[key];
        if (down && !wasDown) headless::pressKey(key);
        if (!down && wasDown) headless::releaseKey(key);
        held_[key] = down;
    }
    void releaseAll() {
        for (int key = 0; key < 256; ++key) set(key, false);
    }

    // New held steering keys every few frames: each key of each player independently.
    void steer(bool secondPlayer) {
        if (--framesLeft_ > 0) return;
        framesLeft_ = between(3, 40);
        for (int key : {Left, Up, Right, Down}) set(key, chance(0.4));
        for (int key : {W, A, S, D}) set(key, secondPlayer && chance(0.4));
    }

    // A pause: P down, up, down, up on four hook calls; the pause loop presents frames
    // too, so the second press arrives inside it and ends it.
    void pauseStep(bool start) {
        if (pauseStage_ == 0 && !start) return;
        set(P, pauseStage_ % 2 == 0);
        pauseStage_ = (pauseStage_ + 1) % 4;
    }
    bool pausing() const { return pauseStage_ != 0; }

private:
    std::mt19937 random_;
    bool held_[256] = {};
    int framesLeft_ = 0;
    int pauseStage_ = 0;
};

void applyOptions(Game& game, bool randomOptions, KeyDriver& random) {
    game.setDefaultOptions();
    if (!randomOptions) return;
    for (const StoredOption& option : storedOptions) {
        if (option.clamped) game.*option.field = random.between(option.minimum, option.maximum);
    }
}

const char* const NameCharacters = "abcXYZ 09!~\"\b\x7f";

}  // namespace

SoakMatchReport soakMatch(const SoakMatchPlan& plan) {
    headless::Options backend;
    backend.startMs = static_cast<int>(plan.seed % 100000);
    backend.record = false;
    headless::start(backend);
    Graphics(1024, 768, 0, 60, 0);

    SoakMatchReport report;
    KeyDriver keys(plan.seed ^ 0x9e3779b9u);
    Game game;
    applyOptions(game, plan.randomOptions, keys);
    game.gameMode = plan.mode;
    game.level = plan.level;
    SeedRnd(static_cast<int>(plan.seed));

    const bool versus = plan.mode == "2vs";
    const bool twoPlayers = plan.mode != "1";
    long endingFrames = 0;
    headless::setFrameHook([&](int) {
        ++report.frames;
        if (report.fault.empty()) report.fault = findFault(game);
        if (!report.fault.empty()) throw Stop{};

        const std::string& state = game.matchState;
        const int inState = game.frameCounter - game.stateStartFrame;
        const bool fighting = state == "game" && game.frameCounter < plan.fightFrames;
        keys.pauseStep(fighting && keys.chance(0.0005));
        if (keys.pausing()) return;

        if (fighting) {
            keys.steer(twoPlayers);
            // Now and then the 1 + 8 keys let every standing body fall apart.
            const bool apart = keys.chance(0.002);
            keys.set(One, apart);
            keys.set(Eight, apart);
            return;
        }
        const long endingLimit = EndingFrames + (plan.ending == SoakEnding::Natural ? plan.undecidedFrames : 0);
        if (++endingFrames > endingLimit) {
            report.fault = "the match did not end within " + std::to_string(endingLimit) +
                           " frames of its ending (state '" + state + "')";
            throw Stop{};
        }
        if (state == "game") {
            if (plan.ending == SoakEnding::Natural) {
                keys.steer(twoPlayers);
                keys.set(Esc, endingFrames > plan.undecidedFrames);  // still undecided: quit
                return;
            }
            keys.releaseAll();
            if (plan.ending == SoakEnding::Quit) keys.set(Esc, true);
            if (plan.ending == SoakEnding::KnockOut) {
                keys.set(Four, true);
                keys.set(One, true);
            }
            return;
        }
        for (int key : {Left, Up, Right, Down, W, A, S, D, Four, One, Eight}) keys.set(key, false);
        if (state == "tell result" && versus) keys.set(Space, inState >= 30);
        if (state == "level completed") keys.set(Enter, inState >= 200 + static_cast<int>(plan.seed % 300));
        if (state == "game over") {
            keys.set(Enter, inState >= 60);
            if (inState == 1 || inState == 10 || inState == 30) {
                std::string name;
                for (int i = keys.between(1, 8); i > 0; --i)
                    name += NameCharacters[keys.between(0, 14)];
                headless::typeText(name);
            }
        }
        if (state == "highscores") keys.set(Space, inState >= 40);
    });

    try {
        report.result = game.playMatch();
    } catch (const Stop&) {
    }
    headless::setFrameHook(nullptr);
    keys.releaseAll();
    report.lastState = game.matchState;
    report.winner = game.winner;
    if (!report.fault.empty()) return report;

    report.fault = findFault(game);
    if (report.fault.empty() && game.matchState != "end") report.fault = "ended in state '" + game.matchState + "'";
    if (report.fault.empty() && (report.result < 1 || report.result > 3))
        report.fault = "result " + std::to_string(report.result);
    if (report.fault.empty() && report.result != 3 && report.result != game.winner)
        report.fault = "result " + std::to_string(report.result) + " but winner " + std::to_string(game.winner);
    return report;
}

SoakMatchPlan soakSpecFor(uint32_t index, uint32_t baseSeed) {
    static const char* const modes[] = {"1", "2coop", "2vs"};
    std::mt19937 random(baseSeed * 2654435761u + index);
    SoakMatchPlan plan;
    plan.seed = random();
    plan.mode = modes[index % 3];
    plan.level = static_cast<int>((index / 3) % 20) + 1;
    plan.fightFrames = std::uniform_int_distribution<int>(200, 3000)(random);
    static const SoakEnding endings[] = {SoakEnding::KnockOut, SoakEnding::Natural, SoakEnding::Quit,
                                         SoakEnding::KnockOut};
    plan.ending = endings[(index / 60) % 4];
    plan.randomOptions = random() % 2 == 0;
    return plan;
}
