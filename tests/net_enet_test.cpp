// A whole online toy match through ENet on the loopback interface: the handshake, a
// third player turned away while the two play, and a graceful end with both sides in
// the state a local game reaches. Bounded by a few seconds of wall clock.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "net/enet_transport.h"
#include "net/handshake.h"
#include "net/impaired_transport.h"
#include "tests/net_toy_match.h"

namespace {

double wallMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// Polls until the handshake is no longer waiting, for at most `limitMs`.
template <typename Handshake>
HandshakeState settle(Handshake& handshake, const std::function<void(double)>& alongside, double limitMs = 2000) {
    const double start = wallMs();
    HandshakeState state = HandshakeState::Waiting;
    while (state == HandshakeState::Waiting && wallMs() - start < limitMs) {
        alongside(wallMs());
        state = handshake.poll(wallMs());
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return state;
}

TEST(NetEnet, LoopbackMatchRefusesAThirdPlayerAndEndsInTheLocalState) {
    constexpr uint64_t fingerprint = 0xF00D;
    std::string error;
    std::unique_ptr<EnetTransport> hostLink = EnetTransport::host("127.0.0.1", 0, sessionFullRefusal(), error);
    ASSERT_TRUE(hostLink) << error;
    std::unique_ptr<EnetTransport> joinLink = EnetTransport::join("127.0.0.1", hostLink->port(), error);
    ASSERT_TRUE(joinLink) << error;

    HostHandshake hostHandshake(*hostLink, fingerprint, {9, 9}, 2);
    JoinHandshake joinHandshake(*joinLink, fingerprint, wallMs());
    ASSERT_EQ(settle(joinHandshake, [&](double now) { hostHandshake.poll(now); }), HandshakeState::Ready);
    ASSERT_EQ(settle(hostHandshake, [](double) {}), HandshakeState::Ready);
    EXPECT_EQ(joinHandshake.welcome().settings, (std::vector<uint8_t>{9, 9}));

    // Both send through a little loss and delay, so ENet's reliable resends serve too.
    constexpr int32_t frames = 180;
    ImpairedTransport hostNet(*hostLink, {10, 0, 10, 1});
    ImpairedTransport joinNet(*joinLink, {10, 0, 10, 2});
    std::array<RollbackSession, 2> sessions{
        RollbackSession(hostNet, {0, joinHandshake.welcome().inputDelay, frames}, wallMs()),
        RollbackSession(joinNet, {1, joinHandshake.welcome().inputDelay, frames}, wallMs())};
    std::array<ToySide, 2> sides;

    std::unique_ptr<EnetTransport> intruderLink = EnetTransport::join("127.0.0.1", hostLink->port(), error);
    ASSERT_TRUE(intruderLink) << error;
    JoinHandshake intruder(*intruderLink, fingerprint, wallMs());

    const double start = wallMs();
    while (wallMs() - start < 5000) {
        for (int p = 0; p < 2; ++p) {
            ImpairedTransport& network = p == 0 ? hostNet : joinNet;
            if (sessions[p].status() == SessionStatus::Running) {
                sides[p].carryOut(sessions[p], sessions[p].tick(scriptedInput(p, sessions[p].inputFrame()), wallMs()));
            } else {
                std::vector<LinkEvent> unheard;  // the host still turns the intruder away
                network.poll(wallMs(), unheard);
            }
        }
        intruder.poll(wallMs());
        const bool over = sessions[0].status() != SessionStatus::Running &&
                          sessions[1].status() != SessionStatus::Running;
        if (over && intruder.poll(wallMs()) != HandshakeState::Waiting) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(intruder.poll(wallMs()), HandshakeState::Failed);
    EXPECT_EQ(intruder.failure(), JoinFailure::SessionFull);
    const ToyState expected = localToyRun(frames, 2);
    for (int p = 0; p < 2; ++p) {
        EXPECT_EQ(sessions[p].status(), SessionStatus::Finished);
        EXPECT_EQ(sides[p].state, expected);
        EXPECT_GT(sessions[p].stats().roundTripMs, 15);
    }
}

}  // namespace

TEST(NetEnet, SilentConnectionsDoNotLockAWaitingHostOut) {
    constexpr uint64_t fingerprint = 0xF00D;
    std::string error;
    std::unique_ptr<EnetTransport> hostLink = EnetTransport::host("127.0.0.1", 0, sessionFullRefusal(), error);
    ASSERT_TRUE(hostLink) << error;
    HostHandshake host(*hostLink, fingerprint, {9}, 2);
    // Connections that are made, then never say a word nor answer again: more of them
    // than the host has places.
    std::vector<std::unique_ptr<EnetTransport>> silent;
    for (int i = 0; i < 4; ++i) {
        silent.push_back(EnetTransport::join("127.0.0.1", hostLink->port(), error));
        ASSERT_TRUE(silent.back()) << error;
        std::vector<LinkEvent> events;
        for (const double start = wallMs(); events.empty() && wallMs() - start < 2000;) {
            host.poll(wallMs());
            silent.back()->poll(wallMs(), events);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_EQ(events.size(), 1u);
        ASSERT_EQ(events[0].kind, LinkEvent::Kind::Connected);
    }
    std::unique_ptr<EnetTransport> joinLink = EnetTransport::join("127.0.0.1", hostLink->port(), error);
    ASSERT_TRUE(joinLink) << error;
    JoinHandshake joiner(*joinLink, fingerprint, wallMs());
    EXPECT_EQ(settle(joiner, [&](double now) { host.poll(now); }, kHandshakeTimeoutMs + 1000), HandshakeState::Ready)
        << describeJoinFailure(joiner.failure());
    EXPECT_EQ(host.poll(wallMs()), HandshakeState::Ready);
}
