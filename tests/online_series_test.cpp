// Whole online series on two Games in one process, over a fake link with delay and
// loss: the game's own end (found in the confirmed state) finishes both sides on the
// same frame, a new bout starts a new replay, and only the host keeps the campaign's
// score, with the name the host typed.

#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <memory>

#include "game/Game.h"
#include "game/frame_driver.h"
#include "game/match_presentation.h"
#include "game/snapshot.h"
#include "net/fake_link.h"
#include "net/impaired_transport.h"
#include "online/online_input.h"
#include "online/online_match.h"
#include "online/start_state.h"
#include "tests/shell_test_support.h"

namespace {

namespace fs = std::filesystem;

constexpr double frameMs = 1000.0 / 60.0;

// A player's keys: Enter held over [enterFrom, enterTo), one character typed at typeAt,
// an arrow held from arrowFrom on.
struct Keys : OnlinePlayer {
    Keys() = default;
    Keys(int from, int to, int at = -1, char c = 0) : enterFrom(from), enterTo(to), typeAt(at), typed(c) {}
    int enterFrom = -1, enterTo = -1;
    int typeAt = -1;
    char typed = 0;
    uint16_t arrow = 0;
    int arrowFrom = 0;
    std::optional<PlayerInput> keysFor(int32_t frame) override {
        PlayerInput input;
        if (frame >= arrowFrom) input.held = arrow;
        if (frame >= enterFrom && frame < enterTo) input.held |= KeyEnter;
        if (frame == typeAt) input.typed = static_cast<uint8_t>(typed);
        return input;
    }
};

class OnlineSeries : public shelltest::ShellTest {
protected:
    struct Side {
        Game game;
        std::unique_ptr<ImpairedTransport> network;
        std::unique_ptr<RollbackSession> session;
        std::unique_ptr<OnlineMatch> match;
        std::unique_ptr<FrameDriver> driver;
        Keys keys;
    };

    // Sets up the host's series, lets `tweak` change its first state, and starts both sides.
    void start(bool coop, const std::function<void(Game&)>& tweak, int32_t endFrame) {
        for (int p = 0; p < 2; ++p) {
            sides_[p].game.setDefaultOptions();
            sides_[p].game.defaultHighScores();
            fs::create_directories(folder() / sideFolder(p));
        }
        sides_[1].game.blowPower = 1;  // the joiner's own options play no part
        SeedRnd(2026);
        beginOnlineSeries(sides_[0].game, coop);
        tweak(sides_[0].game);
        ASSERT_TRUE(adoptStartState(sides_[1].game, startSettings(sides_[0].game)));
        for (int p = 0; p < 2; ++p) {
            Side& side = sides_[p];
            side.network = std::make_unique<ImpairedTransport>(link_.end(p), Impairment{40, 10, 10, uint64_t(p + 5)});
            side.session = std::make_unique<RollbackSession>(*side.network, SessionConfig{p, 2, endFrame}, 0);
            side.match = std::make_unique<OnlineMatch>(side.game, *side.session, side.keys, p == 0 && coop, "replays");
            side.match->clock = [this] { return now_; };
            side.driver = std::make_unique<FrameDriver>(side.game, *side.match);
        }
    }

    // Ticks both sides in turn on a fake clock until both have ended (at most a minute).
    void run() {
        for (now_ = 0; now_ < 60000 && (running(0) || running(1)); now_ += frameMs / 2) {
            Side& side = sides_[static_cast<int>(now_ / (frameMs / 2)) % 2];
            if (side.session->status() != SessionStatus::Running) {
                std::vector<LinkEvent> unheard;
                side.network->poll(now_, unheard);
                continue;
            }
            fs::current_path(folder() / sideFolder(&side == &sides_[0] ? 0 : 1));  // its own files
            side.driver->tick();
        }
    }
    bool running(int p) const { return sides_[p].session->status() == SessionStatus::Running; }
    static std::string sideFolder(int p) { return p == 0 ? "host" : "join"; }

    static std::size_t replays(const fs::path& folder) {
        std::error_code error;
        std::size_t count = 0;
        for (auto it = fs::directory_iterator(folder, error); !error && it != fs::directory_iterator(); ++it) ++count;
        return count;
    }

    FakeLink link_;
    std::array<Side, 2> sides_;
    double now_ = 0;
};

// The host's table holds scores tied in pairs under different names: the game-over
// screen's sort swaps them on every frame, re-runs after a correction included.
TEST_F(OnlineSeries, ALostCampaignEndsBothSidesOnTheSameFrameAndOnlyTheHostKeepsTheScore) {
    start(true, [](Game& g) {
        g.fighters[1].energy = g.fighters[2].energy = 0;
        g.totalScore = 5000;  // enough for the table
        g.highScores.clear();
        for (int i = 0; i < 20; ++i) g.highScores.push_back({1000 - 100 * (i / 2), std::string(1, char('B' + i))});
    }, -1);
    // Lost at once; "game over" after the result's 100 frames waits for Enter, then the
    // table waits for Enter or Space.
    sides_[0].keys = {160, 170, 130, 'a'};
    sides_[1].keys = {200, 210, 131, 'x'};
    run();
    for (Side& side : sides_) {
        EXPECT_EQ(side.session->status(), SessionStatus::Finished);
        EXPECT_TRUE(side.match->seriesOver());
        EXPECT_EQ(side.match->confirmedFrames(), sides_[0].match->confirmedFrames());
    }
    EXPECT_GT(sides_[0].match->confirmedFrames(), 200);
    EXPECT_LT(sides_[0].match->confirmedFrames(), 215);
    const std::string scores = shelltest::readBytes(folder() / "host" / "scores.txt");
    EXPECT_EQ(scores.substr(0, 9), "A\r\n5000\r\n") << scores;
    EXPECT_EQ(scores.find('X'), std::string::npos) << scores;
    EXPECT_FALSE(fs::exists(folder() / "join" / "scores.txt"));
    EXPECT_EQ(replays(folder() / "host" / "replays"), 1u);
    EXPECT_EQ(replays(folder() / "join" / "replays"), 1u);
}

TEST_F(OnlineSeries, AWonBoutStartsTheNextWithANewReplayOnBothSides) {
    constexpr int32_t frames = 150;
    start(false, [](Game& g) { g.fighters[2].energy = 0; }, frames);
    sides_[1].keys = {50, 60};  // the result is passed from player 2's side
    run();
    std::array<std::vector<uint8_t>, 2> states;
    for (int p = 0; p < 2; ++p) {
        Side& side = sides_[p];
        EXPECT_EQ(side.session->status(), SessionStatus::Finished);
        EXPECT_EQ(side.match->confirmedFrames(), frames);
        EXPECT_EQ(side.game.wins[1], 1);
        EXPECT_EQ(side.game.blowPower, sides_[0].game.blowPower);
        fs::current_path(folder() / sideFolder(p));
        side.match->saveReplay();
        states[p] = saveSnapshot(side.game);
    }
    EXPECT_EQ(states[0], states[1]);
    EXPECT_EQ(replays(folder() / "host" / "replays"), 2u);
    EXPECT_EQ(replays(folder() / "join" / "replays"), 2u);
}

// Online the hit freeze and slow motion hold the picture, never the loop: the host's
// window presents on every tick and sleeps nowhere, whatever the blows.
TEST_F(OnlineSeries, FreezesAndSlowMotionHoldThePictureButNeverTheLoop) {
    start(false, [](Game& g) { g.slowMotion = 5; }, 400);
    // After "FIGHT!" each side steers its fighter at the other with its own arrows.
    sides_[0].keys.arrow = KeyP1Right;
    sides_[1].keys.arrow = KeyP1Left;
    sides_[0].keys.arrowFrom = sides_[1].keys.arrowFrom = 110;
    struct Watch : FrameObserver {
        void stepped(const MatchState&, const SteppedFrame& frame) override {
            if (!frame.firstShowing) return;
            shown += 1;
            freezes += static_cast<int>(std::count(frame.events.effects.begin(), frame.events.effects.end(),
                                                   MatchEffect::HitFreeze));
            slowMotion += frame.events.slowMotion ? 1 : 0;
        }
        int shown = 0, freezes = 0, slowMotion = 0;
    } watch;
    Side& host = sides_[0];
    MatchPresentation presentation(host.game, MatchPresentation::Pacing::HoldsThePicture);
    host.driver->observe(watch);
    host.driver->observe(presentation);
    int presents = 0, drawn = 0;
    headless::setFrameHook([&](int) {
        presents += 1;
        drawn += headless::lastFrame().empty() ? 0 : 1;
    });
    const int startMs = MilliSecs();
    run();
    headless::setFrameHook(nullptr);
    EXPECT_EQ(host.session->status(), SessionStatus::Finished);
    EXPECT_GT(watch.freezes, 0);
    EXPECT_GT(watch.slowMotion, 0);
    // Nothing but the presents moved the clock: no freeze or pacing slept.
    EXPECT_EQ(MilliSecs() - startMs, static_cast<int>(presents * 1000.0 / 60.0));
    EXPECT_GE(watch.shown, 400);
    EXPECT_LT(drawn, watch.shown) << "frames shown during a freeze or too soon in slow motion are not drawn";
    EXPECT_GT(drawn, watch.shown / 4);
}

TEST_F(OnlineSeries, AStartStateFromTheNetworkIsCheckedBeforeItIsPlayed) {
    Game& host = sides_[0].game;
    host.setDefaultOptions();
    host.defaultHighScores();
    const std::vector<uint8_t> settings = beginOnlineSeries(host, true);
    EXPECT_LT(settings.size(), 2048u);  // a fresh bout is small
    Game& join = sides_[1].game;
    ASSERT_TRUE(adoptStartState(join, settings));
    EXPECT_EQ(saveSnapshot(join), saveSnapshot(host));
    EXPECT_EQ(join.musicTrack, host.musicTrack);

    const auto refused = [&](std::vector<uint8_t> bytes) { return !adoptStartState(join, bytes); };
    for (std::size_t cut : {std::size_t{0}, std::size_t{3}, settings.size() / 2, settings.size() - 1})
        EXPECT_TRUE(refused({settings.begin(), settings.begin() + static_cast<long>(cut)})) << cut;
    for (const auto& [at, value] : {std::pair{0, 2}, {1, 0}, {1, 2}, {2, 0}, {2, 5}, {3, 0}}) {
        std::vector<uint8_t> wrong = settings;
        wrong[static_cast<std::size_t>(at)] = static_cast<uint8_t>(value);
        EXPECT_TRUE(refused(wrong)) << at << " = " << value;  // format, mode (co-op said versus), music, stream
    }
    // A state some frames into the bout: both sides must start from its first.
    host.frameCounter = 1;
    EXPECT_TRUE(refused(startSettings(host)));
    // A stream that inflates far beyond any bout is cut off, not held.
    const std::vector<uint8_t> huge(1 << 20, 0);
    uLongf packed = compressBound(huge.size());
    std::vector<uint8_t> bomb = {settings[0], settings[1], settings[2]};
    bomb.resize(3 + packed);
    compress2(bomb.data() + 3, &packed, huge.data(), huge.size(), 9);
    bomb.resize(3 + packed);
    EXPECT_TRUE(refused(bomb));
}

TEST(OnlineInput, EachSideSteersItsOwnFighterAndSendsNothingElseThatCounts) {
    // A peer setting every bit reaches only its own arrows, Enter and Space.
    const InputRecord fromJoiner = matchInputFromPlayers({PlayerInput{}, PlayerInput{0xFFFF, 0xFF, 'x'}});
    EXPECT_EQ(fromJoiner.held, KeyP2Up | KeyP2Down | KeyP2Left | KeyP2Right | KeyEnter | KeySpace);
    EXPECT_EQ(fromJoiner.typed, "");  // only the host types
    const InputRecord fromHost = matchInputFromPlayers({PlayerInput{0xFFFF, 0xFF, 'a'}, PlayerInput{}});
    EXPECT_EQ(fromHost.held, KeyP1Up | KeyP1Down | KeyP1Left | KeyP1Right | KeyEnter | KeySpace);
    EXPECT_EQ(fromHost.heldAfterPause, fromHost.held);
    EXPECT_EQ(fromHost.pauseHits, 0);
    EXPECT_EQ(fromHost.typed, "a");
}

TEST_F(OnlineSeries, TypedCharactersWaitForAFrameToTakeThem) {
    headless::typeText("ab");
    TypedCharacters typed;
    EXPECT_EQ(typed.offer(), 'a');
    EXPECT_EQ(typed.offer(), 'a');  // no frame ran: offered again
    typed.taken();
    EXPECT_EQ(typed.offer(), 'b');
    typed.taken();
    EXPECT_EQ(typed.offer(), 0);
}

}  // namespace
