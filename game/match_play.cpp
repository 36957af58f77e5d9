// A match played from the keyboard: its keys frame by frame, P's pause, the score
// kept on disk, and the frame driver showing it all.
#include "frontend/menu_frame.h"
#include "game/Game.h"
#include "game/frame_driver.h"
#include "game/keys.h"
#include "game/match_presentation.h"

namespace {

// P ends a pause only while the player is with the window: the P that a window going
// away presses must not end a pause the player made.
bool pauseEnds() {
    const bool pHit = KeyHit(key::P) != 0;
    return (pHit && !AppSuspended()) || KeyHit(key::Esc) != 0;
}

class KeyboardFrames : public FrameSource {
public:
    bool finished(const MatchState& state) const override { return state.matchState == "end"; }
    void tick(FrameDriver& driver) override {
        ignoreKeysHeldIntoTheNameEntry(driver.state());
        driver.step(readKeyboardInput(), true);
    }
    // The frame drawn before the pause stays on screen: the loop only presents, and the
    // backend shows its last complete picture on every Flip.
    std::optional<uint16_t> waitOutPause() override {
        do {
            Flip(-1);
            checkWindowClose();
        } while (!pauseEnds());
        return heldMatchKeys();
    }
};

// A name entered into the table goes to scores.txt, merged with what another copy of
// the game saved meanwhile. The match's own table stays as the match made it; once the
// match is over the game shows the merged one.
class ScoreKeeper : public FrameObserver {
public:
    explicit ScoreKeeper(Game& game) : game_(game) {}
    void stepped(const MatchState& state, const SteppedFrame& frame) override {
        if (frame.events.has(MatchEffect::ScoreEntered)) saved_ = game_.saveHighScores(state.highScores);
    }
    void matchEnds(const MatchState&) override {
        if (saved_) game_.highScores = game_.scoresOnDisk;
    }

private:
    Game& game_;
    bool saved_ = false;
};

}  // namespace

int Game::playMatch() {
    setupMatch();
    drainInput();  // no press made before the match counts in it
    screen = "match";
    KeyboardFrames keyboard;
    FrameDriver driver(*this, keyboard);
    MatchPresentation presentation(*this, MatchPresentation::Pacing::HoldsTheGame);
    ScoreKeeper scores(*this);
    driver.observe(presentation);
    driver.observe(scores);
    for (FrameObserver* observer : matchObservers) driver.observe(*observer);
    driver.run();
    return finishMatch();
}
