// The handshake over the fake link: a welcome with the host's settings, one clear
// refusal for a peer that would diverge, and no endless waiting on either side.

#include <gtest/gtest.h>

#include "net/fake_link.h"
#include "net/handshake.h"

namespace {

constexpr uint64_t fingerprint = 0x5EED5EED12345678ull;
const std::vector<uint8_t> settings = {4, 5, 1, 6, 0, 0, 0x2A};

TEST(NetHandshake, HostWelcomesAMatchingJoinerWithItsSettings) {
    FakeLink link;
    HostHandshake host(link.end(0), fingerprint, settings, 2);
    JoinHandshake joiner(link.end(1), fingerprint, 0);
    for (double now = 0; now < 100; now += 16) {
        host.poll(now);
        joiner.poll(now);
    }
    EXPECT_EQ(host.poll(100), HandshakeState::Ready);
    ASSERT_EQ(joiner.poll(100), HandshakeState::Ready);
    EXPECT_EQ(joiner.welcome().settings, settings);
    EXPECT_EQ(joiner.welcome().inputDelay, 2);
}

TEST(NetHandshake, HostRefusesAnotherBuildAndGoesOnWaiting) {
    FakeLink link;
    HostHandshake host(link.end(0), fingerprint, settings, 2);
    JoinHandshake joiner(link.end(1), fingerprint + 1, 0);
    for (double now = 0; now < 100; now += 16) {
        host.poll(now);
        joiner.poll(now);
    }
    EXPECT_EQ(joiner.poll(100), HandshakeState::Failed);
    EXPECT_EQ(joiner.failure(), JoinFailure::DifferentBuild);
    EXPECT_EQ(host.poll(100), HandshakeState::Waiting);
    EXPECT_EQ(host.lastRefusal(), RefusalReason::DifferentBuild);
}

TEST(NetHandshake, HostRefusesAnotherProtocolVersion) {
    for (const uint16_t version : {kProtocolVersion + 1, kProtocolVersion - 1}) {
        SCOPED_TRACE(version);
        FakeLink link;
        HostHandshake host(link.end(0), fingerprint, settings, 2);
        host.poll(0);
        link.end(1).send(encodePacket(JoinRequest{version, fingerprint}), Delivery::Reliable);
        host.poll(16);
        std::vector<LinkEvent> events;
        link.end(1).poll(32, events);
        ASSERT_EQ(events.size(), 3u);  // connected, the refusal, the disconnection
        const std::optional<Packet> answer = decodePacket(events[1].bytes);
        ASSERT_TRUE(answer && std::holds_alternative<Refusal>(*answer));
        EXPECT_EQ(std::get<Refusal>(*answer).reason, RefusalReason::VersionMismatch);
        EXPECT_EQ(events[2].kind, LinkEvent::Kind::Disconnected);
        EXPECT_EQ(host.lastRefusal(), RefusalReason::VersionMismatch);
    }
}

TEST(NetHandshake, NeitherSideWaitsForeverOnASilentPeer) {
    FakeLink toSilentHost;
    JoinHandshake joiner(toSilentHost.end(1), fingerprint, 0);
    EXPECT_EQ(joiner.poll(kHandshakeTimeoutMs - 1), HandshakeState::Waiting);
    EXPECT_EQ(joiner.poll(kHandshakeTimeoutMs + 1), HandshakeState::Failed);
    EXPECT_EQ(joiner.failure(), JoinFailure::NoAnswer);

    // A peer that connects and never asks loses its seat.
    FakeLink toSilentJoiner;
    HostHandshake host(toSilentJoiner.end(0), fingerprint, settings, 2);
    host.poll(0);
    host.poll(kHandshakeTimeoutMs + 1);
    std::vector<LinkEvent> events;
    toSilentJoiner.end(1).poll(kHandshakeTimeoutMs + 2, events);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().kind, LinkEvent::Kind::Disconnected);
}

}  // namespace
