// Hosting and joining by invite code as a menu drives them, a poll a frame, with the
// invite service in the same process on the loopback interface: the host gets a code
// and a local address at once, the joiner finds it and connects directly with a round
// trip, and the host's input delay follows that round trip unless fixed. A wrong code
// and a silent service end the join with the reason. Bounded by a few seconds.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "lobby/lobby_server.h"
#include "net/hosting.h"
#include "net/input_delay_rule.h"
#include "net/joining.h"

namespace {

constexpr uint64_t fingerprint = 0xF00D;

class InviteOnLoopback : public ::testing::Test {
protected:
    void SetUp() override {
        LobbyServerConfig config;
        config.port = 0;
        std::string error;
        server_ = LobbyServer::open(config, [this](const std::string& line) { log_.push_back(line); }, error);
        ASSERT_TRUE(server_) << error;
        service_ = "127.0.0.1:" + std::to_string(server_->port());
    }

    std::unique_ptr<Hosting> host(bool fixedDelay) {
        HostingConfig config;
        config.bindAddress = "127.0.0.1";
        config.service = service_;
        config.fingerprint = fingerprint;
        config.settings = {1, 2, 3};
        config.inputDelay = 5;
        config.inputDelayFixed = fixedDelay;
        std::string error;
        std::unique_ptr<Hosting> hosting = Hosting::start(config, monotonicMs(), error);
        EXPECT_TRUE(hosting) << error;
        return hosting;
    }

    JoinConfig byCode(const std::string& code) const {
        JoinConfig config;
        config.way = JoinConfig::Way::Code;
        config.code = parseInviteCode(code).value();
        config.service = service_;
        config.fingerprint = fingerprint;
        return config;
    }

    // Polls the service, the host and the joiner, a frame apart, until `done` or `limitMs`.
    void run(Hosting* hosting, Joining* joining, const std::function<bool()>& done, double limitMs) {
        const double start = monotonicMs();
        while (!done() && monotonicMs() - start < limitMs) {
            if (server_) server_->serve(0);
            if (hosting) hosting->poll(monotonicMs());
            if (joining) joining->poll(monotonicMs());
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    std::unique_ptr<LobbyServer> server_;
    std::string service_;
    std::vector<std::string> log_;
};

TEST_F(InviteOnLoopback, TheHostsCodeJoinsDirectlyAndTheDelayFollowsTheRoundTrip) {
    for (const bool fixedDelay : {false, true}) {
        SCOPED_TRACE(fixedDelay);
        std::unique_ptr<Hosting> hosting = host(fixedDelay);
        ASSERT_TRUE(hosting);
        EXPECT_EQ(hosting->poll(monotonicMs()).localAddress, "127.0.0.1:" + std::to_string(hosting->poll(0).port));
        run(hosting.get(), nullptr, [&] { return !hosting->poll(monotonicMs()).inviteCode.empty(); }, 2000);
        const HostingStatus& status = hosting->poll(monotonicMs());
        ASSERT_EQ(status.service, ServiceState::Registered);
        ASSERT_TRUE(parseInviteCode(status.inviteCode));
        EXPECT_EQ(status.inviteCode.size(), 9u);

        Joining joining(byCode(status.inviteCode), monotonicMs());
        run(hosting.get(), &joining, [&] {
            return hosting->poll(monotonicMs()).opponentJoined && joining.poll(monotonicMs()).stage >= JoinStage::Connected;
        }, 3000);
        const JoinStatus& joined = joining.poll(monotonicMs());
        ASSERT_EQ(joined.stage, JoinStage::Connected) << joined.line;
        EXPECT_FALSE(joined.throughRelay);
        EXPECT_EQ(joined.hostAddress, "127.0.0.1:" + std::to_string(status.port));
        ASSERT_TRUE(joined.roundTripMs);
        EXPECT_LT(*joined.roundTripMs, 100);
        ASSERT_TRUE(hosting->poll(monotonicMs()).opponentJoined);
        // A round trip of a few milliseconds wants no delay; a fixed one stays.
        const PeerLink link = joining.takeLink();
        EXPECT_EQ(link.inputDelay, fixedDelay ? 5 : 0);
        EXPECT_EQ(link.settings, (std::vector<uint8_t>{1, 2, 3}));
        EXPECT_EQ(hosting->takeLink().inputDelay, link.inputDelay);
    }
    // Both codes ended with their matches.
    run(nullptr, nullptr, [&] { return log_.size() >= 2; }, 1000);
    ASSERT_EQ(log_.size(), 2u);
    for (const std::string& line : log_) EXPECT_NE(line.find("ended: the match started"), std::string::npos) << line;
}

TEST_F(InviteOnLoopback, AWrongCodeAndASilentServiceSayWhy) {
    Joining wrong(byCode("HXK4-MW7P"), monotonicMs());
    run(nullptr, &wrong, [&] { return wrong.poll(monotonicMs()).stage == JoinStage::Failed; }, 2000);
    EXPECT_EQ(wrong.poll(monotonicMs()).problem, JoinProblem::NoSuchCode);
    EXPECT_EQ(wrong.poll(monotonicMs()).line, "no game is hosted with that code");

    const std::string answering = service_;
    server_.reset();  // its port now answers nothing
    Joining silent(byCode("HXK4-MW7P"), monotonicMs());
    const double start = monotonicMs();
    run(nullptr, &silent, [&] { return silent.poll(monotonicMs()).stage == JoinStage::Failed; }, 5000);
    EXPECT_EQ(silent.poll(monotonicMs()).problem, JoinProblem::ServiceUnreachable);
    EXPECT_EQ(silent.poll(monotonicMs()).line, "the invite service at " + answering + " cannot be reached");
    EXPECT_GE(monotonicMs() - start, kServiceAnswerMs);

    // A placeholder name is never looked up: it fails at once.
    JoinConfig placeholder = byCode("HXK4-MW7P");
    placeholder.service = "lobby.tumblebout.invalid";
    Joining nowhere(placeholder, monotonicMs());
    EXPECT_EQ(nowhere.poll(monotonicMs()).problem, JoinProblem::ServiceUnreachable);
}

TEST(LanGames, AreJoinedAtTheAddressTheirAnswerCameFrom) {
    LanGame game;
    game.address = {0x0AC90102, 40123};
    const JoinConfig config = lanGameJoin(game, fingerprint);
    EXPECT_EQ(config.way, JoinConfig::Way::Address);
    EXPECT_EQ(config.host, "10.201.1.2");
    EXPECT_EQ(config.port, 40123);
    EXPECT_EQ(config.fingerprint, fingerprint);
}

TEST(InputDelayRule, KeepsCorrectionsAboutFourFramesAndStaysInRange) {
    // A key arrives half a round trip late; the delay takes what goes past 3 frames.
    EXPECT_EQ(inputDelayForRoundTrip(0), 0);
    EXPECT_EQ(inputDelayForRoundTrip(100), 0);
    EXPECT_EQ(inputDelayForRoundTrip(110), 1);
    EXPECT_EQ(inputDelayForRoundTrip(160), 2);  // 80 ms each way: the measured 3-4 frames of correction
    EXPECT_EQ(inputDelayForRoundTrip(200), 3);
    EXPECT_EQ(inputDelayForRoundTrip(10000), kMaxInputDelay);
    for (double rtt = 0; rtt < 600; rtt += 7) EXPECT_LE(inputDelayForRoundTrip(rtt), inputDelayForRoundTrip(rtt + 7));
}

}  // namespace
