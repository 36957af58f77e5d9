// The runner's online series.
#include "tools/headless/online_run.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <set>
#include <thread>

#include "frontend/menu_frame.h"
#include "game/Game.h"
#include "game/frame_driver.h"
#include "game/keys.h"
#include "online/online_link.h"
#include "online/online_match.h"
#include "online/start_state.h"
#include "platform/backend.h"
#include "platform/frame_schedule.h"
#include "platform/headless.h"
#include "replay/replay_folder.h"
#include "tools/headless/state_dump.h"

namespace {

constexpr double MaxWaitMs = 10000;  // a runner is a test's: nobody is coming after this

// The script's keys frame by frame, asked for in rising frame order. Its Esc leaves,
// unless the series is over already.
class ScriptedPlayer : public OnlinePlayer {
public:
    ScriptedPlayer(const std::vector<headless::ScriptEvent>& events, bool types) : events_(events), types_(types) {}

    std::optional<PlayerInput> keysFor(int32_t frame) override {
        const PlayerInput keys = keysAt(frame);
        if (leaves_ && !(match && match->seriesOver())) return std::nullopt;
        return keys;
    }
    // The typed character of the last keys went into a frame.
    void taken() override {
        if (!typed_.empty()) typed_.erase(0, 1);
    }
    const OnlineMatch* match = nullptr;

private:
    PlayerInput keysAt(int32_t frame) {
        const bool types = types_;
        for (; next_ < events_.size() && events_[next_].frame <= frame; ++next_) {
            const headless::ScriptEvent& event = events_[next_];
            if (event.kind == headless::EventKind::Down) down_.insert(event.key);
            if (event.kind == headless::EventKind::Up) down_.erase(event.key);
            if (event.kind == headless::EventKind::Type && types) typed_ += event.text;
            if (event.kind == headless::EventKind::Down && event.key == key::Esc) leaves_ = true;
        }
        PlayerInput input;
        const std::pair<int, uint16_t> keys[] = {{key::Up, KeyP1Up},       {key::Down, KeyP1Down},
                                                 {key::Left, KeyP1Left},   {key::Right, KeyP1Right},
                                                 {key::Enter, KeyEnter},   {key::Space, KeySpace}};
        for (const auto& [code, bit] : keys)
            if (down_.count(code) != 0) input.held |= bit;
        if (!typed_.empty()) input.typed = static_cast<uint8_t>(typed_.front());
        return input;
    }

    const std::vector<headless::ScriptEvent>& events_;
    bool types_;
    std::size_t next_ = 0;
    std::set<int> down_;
    std::string typed_;
    bool leaves_ = false;
};

// The figures of a session, for the closing line on stdout.
class SessionFigures {
public:
    void tick(const NetStats& stats, double nowMs) {
        if (stats.rollbackFrames > 0) ++corrections_[static_cast<std::size_t>(stats.rollbackFrames)];
        if (secondStartMs_ < 0) secondStartMs_ = nowMs;
        if (nowMs - secondStartMs_ < 1000) return;
        secondStartMs_ = nowMs;
        if (++seconds_ == 1) return;  // the first second's rate is not a whole one
        sent_ += stats.bytesSentPerSecond;
        received_ += stats.bytesReceivedPerSecond;
    }
    void print(const NetStats& stats) const {
        int count = 0;
        for (int n : corrections_) count += n;
        int typical = 0;
        for (int seen = 0; typical <= kMaxRollbackFrames && 2 * (seen + corrections_[typical]) < count; ++typical)
            seen += corrections_[typical];
        const int rated = std::max(seconds_ - 1, 1);
        std::printf("online: round trip %.0f ms; corrections %d, typical %d frames, most %d; %d B/s sent, %d B/s received\n",
                    stats.roundTripMs, count, count ? typical : 0, stats.maxRollbackFrames, sent_ / rated, received_ / rated);
    }

private:
    std::array<int, kMaxRollbackFrames + 1> corrections_{};  // ticks by frames corrected
    double secondStartMs_ = -1;
    int seconds_ = 0;
    int sent_ = 0, received_ = 0;
};

int say(int status, const std::string& line) {
    std::fprintf(stderr, "tumblebout-headless: %s\n", line.c_str());
    return status;
}

// The runner's screen: a frame first shown is drawn and presented, so that shots can
// save it; the figures are counted every tick. As fast as it can, a tick without a new
// frame sleeps a millisecond; in real time every tick waits for its sixtieth.
class RunnerScreen : public FrameObserver {
public:
    RunnerScreen(Game& game, const RunnerOptions& options, const RollbackSession& session)
        : game_(game), options_(options), session_(session) {}

    void stepped(const MatchState&, const SteppedFrame& frame) override {
        if (!frame.firstShowing) return;
        game_.drawMatchFrame(frame.events);
        shown_ = true;
    }
    void tickEnds(const MatchState&) override {
        figures.tick(session_.stats(), systemMilliseconds());
        if (shown_) {
            presentFrame();
            for (const FrameFile& shot : options_.shots) {
                if (shot.frame == session_.frame() && !headless::saveLastFrame(shot.path))
                    throw ProgramEnd{say(1, "cannot write " + shot.path)};
            }
        } else if (!options_.realTime) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        shown_ = false;
        if (options_.realTime) schedule_.waitForFrame();
    }
    SessionFigures figures;

private:
    Game& game_;
    const RunnerOptions& options_;
    const RollbackSession& session_;
    FrameSchedule schedule_;
    bool shown_ = false;
};

}  // namespace

int runOnline(Game& game, const RunnerOptions& options, const ScriptResult& script) {
    const bool host = options.online.role == OnlineRole::Host;
    game.startUp();
    const std::vector<uint8_t> settings = host ? beginOnlineSeries(game, options.online.coop) : std::vector<uint8_t>{};
    Impairment impairment = options.impairment;
    impairment.seed = host ? 1 : 2;
    const double waitStartMs = systemMilliseconds();
    HostingLines lines;
    LinkResult made = connectOnline(options.online, impairment, settings, [&](const LinkProgress& progress) {
        if (progress.hosting)
            for (const std::string& line : lines.fresh(*progress.hosting)) say(0, line);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return systemMilliseconds() - waitStartMs < MaxWaitMs;
    });
    if (made.cancelled) return say(2, "no opponent came within 10 s");
    if (!made.link) return say(2, made.error);
    say(0, made.made);
    OnlineLink& link = *made.link;
    if (!host && !adoptStartState(game, link.settings)) return say(2, "the host's start state cannot be read");
    game.startMusic();

    SessionConfig config;
    config.localPlayer = host ? 0 : 1;
    config.inputDelay = link.inputDelay;
    config.endFrame = options.frames;
    RollbackSession session(link.transport(), config, systemMilliseconds());
    ScriptedPlayer player(script.events, host);
    OnlineMatch match(game, session, player, host && options.online.coop, ReplayFolderName);
    player.match = &match;
    std::vector<bool> dumped(options.dumps.size(), false);
    match.onConfirmed = [&](int32_t frame) {
        for (std::size_t i = 0; i < options.dumps.size(); ++i) {
            if (options.dumps[i].frame != frame) continue;
            match.useConfirmedState(frame, [&](const Game& confirmed) {
                dumped[i] = writeStateJson(confirmed, frame, options.dumps[i].path);
            });
        }
    };
    FrameDriver driver(game, match);
    RunnerScreen screen(game, options, session);
    driver.observe(screen);
    driver.run();
    SessionFigures& figures = screen.figures;
    figures.print(session.stats());
    match.saveReplay();
    const SessionStatus status = session.status();
    made.link.reset();  // delivers the last packets
    if (const std::string message = sessionEndMessage(status); !message.empty())
        return say(status == SessionStatus::OpponentLeft ? 0 : 1, message);
    for (std::size_t i = 0; i < options.dumps.size(); ++i) {
        if (!dumped[i] && status == SessionStatus::Finished)
            return say(1, "--dump " + std::to_string(options.dumps[i].frame) + ": the frame was not confirmed");
    }
    return 0;
}
