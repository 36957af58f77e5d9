// The match's step: the frame in its order, the centred message, knock-outs and the
// result, the states after the fight (result, tally, game over, high scores), pause
// requests and quitting, and the series a match belongs to.

#include "game/energy_bonus.h"
#include "game/frame_events.h"
#include "game/match_state.h"
#include "platform/platform.h"

namespace {

constexpr int FightFrame = 100;        // "FIGHT!" shows, and blows count after it
constexpr int BannerFrames = 80;       // level and "FIGHT!" messages
constexpr int ResultFrames = 100;      // result message; the campaign waits this long
constexpr int VersusResultFrames = 400;
constexpr int ConfirmAfterFrames = 20; // game-over and high-score screens ignore Enter until then

// The platform's generator runs from the match's own state while the match steps, and
// its state goes back into the match when the step is done.
class MatchGenerator {
public:
    explicit MatchGenerator(MatchState& match) : match_(match) { SeedRnd(match_.randomState); }
    ~MatchGenerator() { match_.randomState = RndState(); }
    MatchGenerator(const MatchGenerator&) = delete;
    MatchGenerator& operator=(const MatchGenerator&) = delete;

private:
    MatchState& match_;
};

}  // namespace

MatchState::MatchState() : bursts(BurstSlots + 1), randomState(RndState()) {}

void MatchState::stepMatch(const InputRecord& input, FrameEvents& events) {
    stepToPausePoint(input, events);
    finishStep(events);
}

void MatchState::stepToPausePoint(const InputRecord& input, FrameEvents& events) {
    const MatchGenerator generator(*this);
    events.clear();
    FramePicture& picture = events.picture;
    takeFrameInput(input);
    // Holding 4 and 1 together knocks out everyone but fighter 1.
    if (frameInput.holds(KeyDigit4 | KeyDigit1)) {
        for (int i = 2; i <= fighterCount; ++i) fighters[i].energy = 0;
    }
    updateTimeStep();
    for (int i = 1; i <= fighterCount; ++i) fighters[i].saveOldPositions();
    updateCamera();
    picture.titleColour = palette[1];
    picture.gridColour = palette[3];
    announce();
    countDownBanner();
    picture.bannerText = bannerText;
    picture.bannerTimer = bannerTimer;

    // The losing side stops answering the keyboard once the result is decided.
    if (gameMode == "2coop") {
        if (winner != 2) {
            controlPlayer1();
            controlPlayer2();
        }
        for (int i = 3; i <= fighterCount; ++i) {
            const ball& hips = fighters[chooseTarget(fighters[i])].nodes[HipsNode];
            if (!fighters[i].knockedOut)
                fighters[i].think(aiLevel, playersSpeed, hips.x, hips.y, hips.vx, hips.vy);
        }
    } else if (gameMode == "1") {
        if (winner != 2) controlPlayer1();
        const ball& hips = fighters[1].nodes[HipsNode];
        for (int i = 2; i <= fighterCount; ++i) {
            if (!fighters[i].knockedOut)
                fighters[i].think(aiLevel, playersSpeed, hips.x, hips.y, hips.vx, hips.vy);
        }
    } else if (gameMode == "2vs") {
        if (winner != 2) controlPlayer1();
        if (winner != 1) controlPlayer2();
    }

    // Each fighter finishes its whole step before the next one starts. It shows as it
    // stands after its own moves; its flashes count down after that.
    // Holding 1 and 8 together suspends the solver, so every standing body falls apart.
    const bool solverSuspended = frameInput.holds(KeyDigit1 | KeyDigit8);
    picture.fadeFrame = frameCounter;
    for (int i = 1; i <= fighterCount; ++i) {
        man& fighter = fighters[i];
        fighter.applyGravity(gravity);
        fighter.moveNodes(timeStep);
        if (!solverSuspended) fighter.relax(timeStep, flexibility);
        fighter.updateVelocities(timeStep);
        fighter.collideWalls(*this);
        picture.fighters[i] = fighter;
        fighter.tickNodes(*this);
    }
    updateBursts(events);
    animatePalette();
    collideFighters(events);
    countFrame();
    pauseIfRequested(events);
}

void MatchState::finishStep(FrameEvents& events) {
    const MatchGenerator generator(*this);
    updateMatchState(events);
    events.slowMotion = slowMotionTimer >= 0;
}

int MatchState::finishMatch() {
    if (matchResult != 3) matchResult = winner;
    return matchResult;
}

void MatchState::beginSeries() {
    level = 1;
    if (gameMode == "2vs") {
        wins[1] = 0;
        wins[2] = 0;
    } else {
        totalScore = 0;
    }
}

bool MatchState::countMatchResult(int result) {
    if (gameMode == "2vs") {
        if (result == 1) wins[1] += 1;
        if (result == 2) wins[2] += 1;
        return result != 3;  // the versus series ends only by Esc
    }
    // After level 20 the campaign ends even though the match was won.
    if (level >= 20) result = 2;
    level += 1;
    return result != 2 && result != 3;
}

void MatchState::continueSeries() {
    if (matchState == "end" && countMatchResult(finishMatch())) {
        const MatchGenerator generator(*this);
        setupMatch();
    }
}

void MatchState::countFrame() { frameCounter += 1; }

void MatchState::announce() {
    if (frameCounter == 1) {
        if (gameMode == "2vs")
            bannerText = "  " + String(wins[1]) + " - " + String(wins[2]) + "  ";
        else
            bannerText = "   LEVEL " + String(level) + "   ";
        bannerTimer = BannerFrames;
    }
    if (frameCounter == FightFrame) {
        bannerText = "FIGHT!";
        bannerTimer = BannerFrames;
    }
}

void MatchState::countDownBanner() {
    if (bannerTimer >= 0) bannerTimer -= 1;
}

void MatchState::addEnergyBonus() {
    totalScore += comboScore + energyBonus(fighters[1]);
}

void MatchState::updateMatchState(FrameEvents& events) {
    const auto changeState = [this](const char* state) {
        matchState = state;
        stateStartFrame = frameCounter;
    };
    const auto decide = [&](int side, const char* message) {
        winner = side;
        bannerText = message;
        bannerTimer = ResultFrames;
        changeState("tell result");
    };
    const auto knockedOut = [this](int i) { return fighters[i].knockedOut != 0; };
    const auto allKnockedOut = [&](int first) {
        for (int i = first; i <= fighterCount; ++i)
            if (!knockedOut(i)) return false;
        return true;
    };
    const auto framesInState = [this] { return frameCounter - stateStartFrame; };
    // This part of the frame comes after the pause: it reads the keys held when a
    // pause ended (the same as at the frame's start when there was none).
    const auto held = [this](uint16_t keys) { return (frameInput.heldAfterPause & keys) != 0; };
    const auto enterOrSpaceHeld = [&] { return held(KeyEnter) || held(KeySpace); };

    if (winner == 0) {
        for (int i = 1; i <= fighterCount; ++i) {
            man& fighter = fighters[i];
            if (!(fighter.energy > 0)) {
                fighter.energy = 0;
                fighter.knockedOut = 1;
            }
        }
        if (gameMode == "2vs") {
            // Tested second, so a double knock-out goes to player 2.
            if (knockedOut(2)) decide(1, "PLAYER 1 WINS!");
            if (knockedOut(1)) decide(2, "PLAYER 2 WINS!");
        } else if (gameMode == "1" || gameMode == "2coop") {
            const bool coop = gameMode == "2coop";
            if (allKnockedOut(coop ? 3 : 2)) {
                // A double knock-out still keeps the level's points, then counts as lost.
                addEnergyBonus();
                decide(1, "  YOU WIN!  ");
            }
            if (knockedOut(1) && (!coop || knockedOut(2))) decide(2, "  YOU LOSE!  ");
        }
    }

    const bool versus = gameMode == "2vs";
    if (matchState == "tell result" && versus) {
        if (enterOrSpaceHeld() || framesInState() >= VersusResultFrames) changeState("end");
    }
    if (matchState == "tell result" && !versus && winner == 1 && framesInState() >= ResultFrames)
        changeState("level completed");
    if (matchState == "tell result" && !versus && winner == 2 && framesInState() >= ResultFrames)
        changeState("game over");
    if (matchState == "level completed") {
        levelCompleteScreen(framesInState(), events);
        if (enterOrSpaceHeld()) changeState(level == 20 ? "game over" : "end");
    }
    if (matchState == "game over") {
        gameOverScreen(framesInState(), events);
        if (held(KeyEnter) && framesInState() > ConfirmAfterFrames) {
            changeState("highscores");
            addHighScore(playerName, totalScore);
            events.effects.push_back(MatchEffect::ScoreEntered);
        }
    }
    if (matchState == "highscores") {
        highScoresScreen(framesInState(), events);
        if (framesInState() > ConfirmAfterFrames && enterOrSpaceHeld()) matchState = "end";
    }
    if (held(KeyEsc)) {
        matchResult = 3;
        matchState = "end";
    }
}

void MatchState::pauseIfRequested(FrameEvents& events) {
    // P is a letter of the name on these screens, not a pause.
    if (matchState == "game over" || matchState == "highscores") return;
    if (pendingPauseHits == 0) return;
    pendingPauseHits = 0;
    events.paused = true;
}
