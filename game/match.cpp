// The match: its frame loop, the centred message, knock-outs and the result, the
// states after the fight (result, tally, game over, high scores), pause and quit.

#include "frontend/menu_frame.h"
#include "game/Game.h"
#include "game/energy_bonus.h"
#include "game/keys.h"
#include "replay/replay_recorder.h"

namespace {

constexpr int FightFrame = 100;        // "FIGHT!" shows, and blows count after it
constexpr int BannerFrames = 80;       // level and "FIGHT!" messages
constexpr int ResultFrames = 100;      // result message; the campaign waits this long
constexpr int VersusResultFrames = 400;
constexpr int ConfirmAfterFrames = 20; // game-over and high-score screens ignore Enter until then
constexpr float BannerWidth = 824;     // every message is stretched from x = 100 to x = 924

// P ends a pause only while the player is with the window: the P that a window going
// away presses must not end a pause the player made.
bool pauseEnds() {
    const bool pHit = KeyHit(key::P) != 0;
    return (pHit && !AppSuspended()) || KeyHit(key::Esc) != 0;
}

}  // namespace

int Game::playMatch() {
    setupMatch();
    drainInput();  // no press made before the match counts in it
    screen = "match";
    ReplayRecorder recorder(*this);
    while (matchState != "end") {
        stepMatch(readKeyboardInput());
        recorder.add(frameInput);
        paceSlowMotion();
        presentFrame();
    }
    const int result = finishMatch();
    recorder.save();
    return result;
}

void Game::stepMatch(const InputRecord& input) {
    takeFrameInput(input);
    if (!quiet) keepMusic();
    // Holding 4 and 1 together knocks out everyone but fighter 1.
    if (frameInput.holds(KeyDigit4 | KeyDigit1)) {
        for (int i = 2; i <= fighterCount; ++i) fighters[i]->energy = 0;
    }
    if (!quiet) Cls();
    updateTimeStep();
    for (int i = 1; i <= fighterCount; ++i) fighters[i]->saveOldPositions();
    updateCamera();
    if (!quiet) drawArena();
    announce();
    drawBanner();

    // The losing side stops answering the keyboard once the result is decided.
    if (gameMode == "2coop") {
        if (winner != 2) {
            controlPlayer1();
            controlPlayer2();
        }
        for (int i = 3; i <= fighterCount; ++i) {
            const man& target = *fighters[chooseTarget(*fighters[i])];
            const ball& hips = target.nodes[HipsNode];
            if (!fighters[i]->knockedOut)
                fighters[i]->think(aiLevel, playersSpeed, hips.x, hips.y, hips.vx, hips.vy);
        }
    } else if (gameMode == "1") {
        if (winner != 2) controlPlayer1();
        const ball& hips = fighters[1]->nodes[HipsNode];
        for (int i = 2; i <= fighterCount; ++i) {
            if (!fighters[i]->knockedOut)
                fighters[i]->think(aiLevel, playersSpeed, hips.x, hips.y, hips.vx, hips.vy);
        }
    } else if (gameMode == "2vs") {
        if (winner != 2) controlPlayer1();
        if (winner != 1) controlPlayer2();
    }

    // Each fighter finishes its whole step before the next one starts.
    for (int i = 1; i <= fighterCount; ++i) {
        man& fighter = *fighters[i];
        fighter.applyGravity(gravity);
        fighter.moveNodes(timeStep);
        fighter.relax(timeStep, flexibility);
        fighter.updateVelocities(timeStep);
        fighter.collideWalls();
        if (!quiet) fighter.draw(frameCounter / 120.0f, zoom);  // fades in over two seconds
        fighter.tickNodes();
    }
    updateBursts(zoom);
    animatePalette();
    collideFighters();
    countFrame();
    pauseIfRequested();
    updateMatchState();
}

int Game::finishMatch() {
    if (matchResult != 3) matchResult = winner;
    return matchResult;
}

void Game::beginSeries() {
    level = 1;
    if (gameMode == "2vs") {
        wins[1] = 0;
        wins[2] = 0;
    } else {
        totalScore = 0;
    }
}

bool Game::countMatchResult(int result) {
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

// One frame of a series played without leaving the step (online): a match that ends
// is counted at once and the next one set up, so the following frame is the new
// match's first. A series over stays at "end", and stepping it changes nothing.
void Game::stepSeries(const InputRecord& input) {
    if (matchState == "end") return;
    stepMatch(input);
    if (matchState == "end" && countMatchResult(finishMatch())) setupMatch();
}

void Game::countFrame() {
    frameCounter += 1;
    if (quiet) return;
    SetColor(255, 255, 255);
    SetScale(1, 1);
}

void Game::announce() {
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

void Game::drawBanner() {
    if (bannerTimer >= 0) bannerTimer -= 1;
    if (quiet) return;
    // A text without width (no glyphs) cannot be stretched: it is not drawn at all.
    const int w = bannerTimer >= 0 ? TextWidth(bannerText) : 0;
    if (w > 0) {
        SetAlpha(bannerTimer / 60.0f);  // opaque until the last 60 frames, then fading
        const int h = TextHeight();
        SetColor(palette[1][1], palette[1][2], palette[1][3]);
        const float s = BannerWidth / w;
        SetScale(s, s);
        DrawText(bannerText, 100, static_cast<int>(384 - h / 2 * s));
    }
    SetScale(1, 1);
    SetAlpha(1);
}

void Game::addEnergyBonus() {
    totalScore += comboScore + energyBonus(*fighters[1]);
}

void Game::updateMatchState() {
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
    const auto knockedOut = [this](int i) { return fighters[i]->knockedOut != 0; };
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
            man& fighter = *fighters[i];
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
        levelCompleteScreen(framesInState());
        if (enterOrSpaceHeld()) changeState(level == 20 ? "game over" : "end");
    }
    if (matchState == "game over") {
        gameOverScreen(framesInState());
        if (held(KeyEnter) && framesInState() > ConfirmAfterFrames) {
            changeState("highscores");
            addHighScore(playerName, totalScore);
            if (savesScores) saveHighScores();
        }
    }
    if (matchState == "highscores") {
        drawHighScores(framesInState());
        if (framesInState() > ConfirmAfterFrames && enterOrSpaceHeld()) matchState = "end";
    }
    if (held(KeyEsc)) {
        matchResult = 3;
        matchState = "end";
    }
}

void Game::pauseIfRequested() {
    // P is a letter of the name on these screens, not a pause.
    if (matchState == "game over" || matchState == "highscores") return;
    if (pendingPauseHits == 0) return;
    pendingPauseHits = 0;
    if (!quiet && pausesOnKeyboard) frameInput.heldAfterPause = waitWhilePaused();
}

uint16_t Game::waitWhilePaused() {
    // The frame drawn before the pause stays on screen: the loop only presents, and the
    // backend shows its last complete picture on every Flip.
    drawPauseNotice();
    do {
        Flip(-1);
        checkWindowClose();
    } while (!pauseEnds());
    return heldMatchKeys();
}
