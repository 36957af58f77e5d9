// The presentation of a match's frames.
#include "game/match_presentation.h"

#include "frontend/menu_frame.h"
#include "game/Game.h"
#include "game/elapsed.h"

namespace {

constexpr int FreezeMs = 200;

// Less than `ms` milliseconds have passed since `mark`.
bool within(int mark, float ms) {
    const int elapsed = millisecondsSince(mark);
    return elapsed >= 0 && static_cast<float>(elapsed) < ms;
}

void playSound(const SoundRef& sound, int volume) {
    Channel channel = CueSound(sound);
    SetChannelVolume(channel, volume / 10.0f);
    ResumeChannel(channel);
}

}  // namespace

MatchPresentation::MatchPresentation(Game& game, Pacing pacing) : game_(game), pacing_(pacing) {}

void MatchPresentation::matchBegins(const MatchState&) { game_.lastPacedFrame = MilliSecs(); }

void MatchPresentation::paused(const MatchState&, const FrameEvents& events) {
    // The effects of the fight came before the pause; the screens after the fight
    // come after it, over the notice.
    playEffects(events);
    playedAtPause_ = events.effects.size();
    game_.drawScene(events);
    game_.drawPauseNotice();
}

void MatchPresentation::stepped(const MatchState&, const SteppedFrame& frame) {
    if (!frame.firstShowing) return;
    game_.keepMusic();
    playEffects(frame.events, playedAtPause_);
    playedAtPause_ = 0;
    if (frame.events.paused) {
        game_.drawEndScreens(frame.events);
    } else {
        if (pictureHeld(frame.events)) return;
        game_.drawMatchFrame(frame.events);
    }
    if (drawOver) drawOver();
    drewThisTick_ = true;
    lastDrawnMs_ = MilliSecs();
}

void MatchPresentation::tickEnds(const MatchState&) {
    if (drewThisTick_ && pacing_ == Pacing::HoldsTheGame) game_.paceSlowMotion();
    drewThisTick_ = false;
    // With no new picture the last one is shown again: a frame's time still passes.
    presentFrame();
}

void MatchPresentation::playEffects(const FrameEvents& events, std::size_t first) {
    for (std::size_t i = first; i < events.effects.size(); ++i) {
        switch (events.effects[i]) {
            case MatchEffect::HitFreeze:
                if (pacing_ == Pacing::HoldsTheGame) {
                    Delay(FreezeMs);
                } else if (within(heldFromMs_, heldForMs_)) {
                    heldForMs_ += FreezeMs;  // freezes in a row add up, as their sleeps do
                } else {
                    heldFromMs_ = MilliSecs();
                    heldForMs_ = FreezeMs;
                }
                break;
            case MatchEffect::Blow:
                if (game_.soundVolume > 0) playSound(game_.blowSound, game_.soundVolume);
                break;
            case MatchEffect::Block:
                if (game_.soundVolume > 0) playSound(game_.blockSound, game_.soundVolume);
                break;
            case MatchEffect::ScoreEntered: break;  // the score keeper's
        }
    }
}

bool MatchPresentation::pictureHeld(const FrameEvents& events) const {
    if (pacing_ == Pacing::HoldsTheGame) return false;
    return within(heldFromMs_, heldForMs_) ||
           (events.slowMotion && within(lastDrawnMs_, SlowMotionFrameMs));
}
