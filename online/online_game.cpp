// The online series in the window.
#include "online/online_game.h"

#include <string>

#include "game/Game.h"
#include "game/frame_driver.h"
#include "game/keys.h"
#include "game/match_presentation.h"
#include "online/message_screen.h"
#include "online/online_input.h"
#include "online/online_link.h"
#include "online/online_match.h"
#include "online/start_state.h"
#include "platform/backend.h"
#include "replay/replay_folder.h"

namespace {

constexpr float CornerScale = 0.07f;

void drawNetLine(const NetStats& stats) {
    const std::string line = "RTT " + std::to_string(static_cast<int>(stats.roundTripMs + 0.5f)) + " MS   ROLLBACK " +
                             std::to_string(stats.rollbackFrames) + " (MOST " + std::to_string(stats.maxRollbackFrames) +
                             ")";
    SetColor(255, 255, 255);
    SetAlpha(1);
    SetScale(CornerScale, CornerScale);
    DrawText(line, 8, 4);
    SetScale(1, 1);
}

// The player at this window: the arrows (or the first controller), Enter and Space,
// and the host's typed characters. Esc leaves; F3 shows or hides the corner line.
class WindowPlayer : public OnlinePlayer {
public:
    WindowPlayer(const MatchState& match, bool host) : match_(match), host_(host) {}
    std::optional<PlayerInput> keysFor(int32_t) override {
        if (KeyHit(key::Esc)) return std::nullopt;
        if (KeyHit(key::F3)) netLine = !netLine;
        PlayerInput keys = readLocalPlayerInput();
        if (host_) {
            ignoreKeysHeldIntoTheNameEntry(match_);
            keys.typed = typed_.offer();
        } else {
            dropTypedCharacters();
        }
        return keys;
    }
    void taken() override { typed_.taken(); }
    bool netLine = false;

private:
    const MatchState& match_;
    bool host_;
    TypedCharacters typed_;
};

// The series itself, once both sides hold its first state; returns how it ended.
SessionStatus playSeries(Game& game, OnlineLink& link, bool host, bool coop) {
    SessionConfig config;
    config.localPlayer = host ? 0 : 1;
    config.inputDelay = link.inputDelay;
    RollbackSession session(link.transport(), config, systemMilliseconds());
    WindowPlayer player(game, host);
    OnlineMatch match(game, session, player, host && coop, ReplayFolderName);
    FrameDriver driver(game, match);
    MatchPresentation presentation(game, MatchPresentation::Pacing::HoldsThePicture);
    presentation.drawOver = [&] {
        if (player.netLine) drawNetLine(session.stats());
    };
    driver.observe(presentation);
    drainInput();
    game.startMusic();
    HideMouse();
    // Out of sight the game goes on: the other side must not wait for a window.
    KeepRunningOutOfSight(true);
    try {
        driver.run();
    } catch (const ProgramEnd&) {
        KeepRunningOutOfSight(false);
        session.leave();  // the window was closed: the other side is told, not left waiting
        match.saveReplay();
        throw;
    }
    KeepRunningOutOfSight(false);
    ShowMouse();
    game.stopMusic();
    const std::string replay = match.saveReplay();
    if (session.status() == SessionStatus::Desync && !replay.empty()) say("this side's replay: " + replay);
    return session.status();
}

// The wait, then the series.
void playOnlineSeries(Game& game, const OnlineOptions& options) {
    const bool host = options.role == OnlineRole::Host;
    game.startUp();
    game.loadMusic();
    const std::vector<uint8_t> settings = host ? beginOnlineSeries(game, options.coop) : std::vector<uint8_t>{};
    const std::string joining = "CONNECTING TO " + Upper(joinTargetText(options));
    HostingLines lines;
    bool announced = false;
    drainInput();
    LinkResult made = connectOnline(withGameDefaults(options), {}, settings, [&](const LinkProgress& progress) {
        if (host)
            for (const std::string& line : lines.fresh(*progress.hosting)) say(line);
        else if (!announced)
            say(joining);
        announced = true;
        showMessage(game, host ? hostingMessage(*progress.hosting) : joining);
        return KeyHit(key::Esc) == 0;
    });
    if (made.cancelled) return;
    if (!made.link) {
        say(made.error);
        holdMessage(game, Upper(made.error));
        return;
    }
    say(made.made);
    playLinkedSeries(game, std::move(made.link), host, options.coop);
}

}  // namespace

void playLinkedSeries(Game& game, std::unique_ptr<OnlineLink> link, bool host, bool coop) {
    // The host's own screen went on animating while it waited: both start from the bytes sent.
    if (!adoptStartState(game, link->settings)) {
        say("the host's start state cannot be read");
        holdMessage(game, "THE HOST'S START STATE CANNOT BE READ");
        return;
    }
    say(host ? "playing online as player 1" : "playing online as player 2");
    const SessionStatus status = playSeries(game, *link, host, coop);
    link.reset();  // delivers the last packets (a leave) before the message shows
    const std::string message = sessionEndMessage(status);
    if (message.empty()) return;
    say(message);
    holdMessage(game, message);
}

void takeBackOwnSettings(Game& game) {
    game.loadHighScores();
    game.resetOptions();
    game.loadPrefs();
}

void playOnline(Game& game, const OnlineOptions& options) {
    playOnlineSeries(game, options);
    // The series ran on the host's options and score table: the menu is the player's own.
    takeBackOwnSettings(game);
}
