// Carrying out the rollback session's requests on the game, and following the
// confirmed state.
#include "online/online_match.h"

#include <cassert>

#include "frontend/after_match_notice.h"
#include "game/Game.h"
#include "game/snapshot.h"
#include "online/online_input.h"

const char* sessionEndMessage(SessionStatus status) {
    switch (status) {
        case SessionStatus::Running:
        case SessionStatus::Finished:
        case SessionStatus::Left: return "";
        case SessionStatus::OpponentLeft: return "OPPONENT LEFT";
        case SessionStatus::ConnectionLost:
        case SessionStatus::PeerMisbehaved: return "CONNECTION LOST";
        case SessionStatus::Desync: return "DESYNC";
    }
    return "";
}

OnlineMatch::OnlineMatch(Game& game, RollbackSession& session, OnlinePlayer& player, bool savesScores,
                         const std::string& replayFolder)
    : game_(game), session_(session), player_(player), savesScores_(savesScores), replayFolder_(replayFolder) {
    game_.screen = "match";
    game_.selection = 0;
    confirmedMatchState_ = game_.matchState;
    recorder_.emplace(replayFolder_, game_.gameMode, game_.level, saveSnapshot(game_));
}

bool OnlineMatch::finished(const MatchState&) const { return session_.status() != SessionStatus::Running; }

void OnlineMatch::tick(FrameDriver& driver) {
    const std::optional<PlayerInput> keys = player_.keysFor(session_.inputFrame());
    if (!keys) {
        session_.leave();
        return;
    }
    const int32_t before = session_.frame();
    carryOut(driver, session_.tick(*keys, clock()));
    if (session_.frame() > before) player_.taken();
}

void OnlineMatch::carryOut(FrameDriver& driver, const std::vector<SessionRequest>& requests) {
    for (const SessionRequest& r : requests) {
        switch (r.kind) {
            case SessionRequest::Kind::SaveState: {
                Slot& slot = slotOf(r.frame);
                assert(r.frame == liveFrame_);
                slot.frame = r.frame;
                saveSnapshot(game_, slot.state);
                slot.mark = markOf();
                break;
            }
            case SessionRequest::Kind::LoadState: {
                const Slot& slot = slotOf(r.frame);
                assert(slot.frame == r.frame);
                restoreSnapshot(game_, slot.state.data(), slot.state.size());
                liveFrame_ = r.frame;
                break;
            }
            case SessionRequest::Kind::Advance:
                // A series over is not stepped again (the session ends where it ended).
                if (game_.matchState != "end") {
                    driver.step(matchInputFromPlayers(r.inputs), !r.quiet);
                    game_.continueSeries();
                }
                liveFrame_ = r.frame + 1;
                break;
            case SessionRequest::Kind::Confirmed:
                confirm(r);
                break;
            case SessionRequest::Kind::Checksum: {
                const Slot& slot = slotOf(r.frame);
                assert(slot.frame == r.frame);
                session_.setChecksum(r.frame, hashBytes(slot.state.data(), slot.state.size()));
                break;
            }
        }
    }
}

OnlineMatch::Mark OnlineMatch::markOf() const {
    Mark mark{game_.frameCounter, game_.matchState, game_.gameMode, game_.level, std::nullopt};
    if (game_.matchState == "highscores") mark.scores = game_.highScores;
    return mark;
}

void OnlineMatch::confirm(const SessionRequest& request) {
    // Asked for in the tick that found the series over, past its end.
    if (seriesOver_ || request.frame != confirmedFrames_) return;
    recorder_->add(matchInputFromPlayers(request.inputs));
    confirmedFrames_ = request.frame + 1;
    follow(confirmedFrames_);
    if (onConfirmed) onConfirmed(confirmedFrames_);
}

// The state at the start of `frame` is confirmed now: a new match of the series, its
// end, or the campaign's entry into the high-score table shows there first.
void OnlineMatch::follow(int32_t frame) {
    const bool live = frame == liveFrame_;
    const Slot& slot = slotOf(frame);
    assert(live || slot.frame == frame);
    const Mark mark = live ? markOf() : slot.mark;

    if (savesScores_ && mark.scores && confirmedMatchState_ == "game over") game_.saveHighScores(*mark.scores);
    confirmedMatchState_ = mark.matchState;

    if (mark.matchState == "end") {
        seriesOver_ = true;
        saveRecording();
        session_.endAt(frame);
    } else if (mark.frameCounter == 0) {
        saveRecording();
        recorder_.emplace(replayFolder_, mark.gameMode, mark.level, live ? saveSnapshot(game_) : slot.state);
    }
}

void OnlineMatch::useConfirmedState(int32_t frame, const std::function<void(const Game&)>& use) {
    if (frame == liveFrame_) {
        use(game_);
        return;
    }
    const Slot& slot = slotOf(frame);
    assert(slot.frame == frame);
    saveSnapshot(game_, spare_);
    restoreSnapshot(game_, slot.state.data(), slot.state.size());
    use(game_);
    restoreSnapshot(game_, spare_.data(), spare_.size());
}

std::string OnlineMatch::saveReplay() {
    if (seriesOver_ || !recorder_) return "";
    const std::string path = saveRecording();
    recorder_.reset();
    return path;
}

std::string OnlineMatch::saveRecording() {
    const SavedReplay saved = recorder_->save();
    if (!saved.error.empty()) showAfterMatchNotice(game_, Upper(saved.error));
    return saved.path;
}
