#pragma once
// Showing a match to the player: each frame's sounds and picture when it is first
// shown, the hit freeze and slow motion, and the present that ends each tick. Frames
// run again after a correction, or fast-forwarded past, are neither seen nor heard.
//
// Played on this machine alone (a local match, a replay) the freeze and the slow
// motion hold the game: the freeze sleeps 200 ms, slow-motion frames last a thirtieth
// of a second. Online nothing may hold the loop, which keeps the network going: the
// picture holds instead (frames shown during a freeze or too soon in slow motion are
// not drawn), and out of sight the game goes on without drawing.

#include <functional>

#include "game/frame_driver.h"

class Game;

class MatchPresentation : public FrameObserver {
public:
    enum class Pacing { HoldsTheGame, HoldsThePicture };
    MatchPresentation(Game& game, Pacing pacing);

    // Drawn over each frame shown (online: the corner line), if set.
    std::function<void()> drawOver;

    void matchBegins(const MatchState& state) override;
    void paused(const MatchState& state, const FrameEvents& events) override;
    void stepped(const MatchState& state, const SteppedFrame& frame) override;
    void tickEnds(const MatchState& state) override;

    // Plays a frame's effects from the `first`: its sounds, its freezes.
    void playEffects(const FrameEvents& events, std::size_t first = 0);

private:
    bool pictureHeld(const FrameEvents& events) const;

    Game& game_;
    Pacing pacing_;
    std::size_t playedAtPause_ = 0;  // effects of the frame being shown played at its pause
    bool drewThisTick_ = false;
    int heldFromMs_ = 0;             // online: the picture holds for heldForMs_ from then
    float heldForMs_ = 0;
    int lastDrawnMs_ = 0;
};
