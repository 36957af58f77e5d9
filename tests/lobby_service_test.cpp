// The invite service's tables and relays, on a clock of the test's own: codes live
// while refreshed and die after, lookups introduce both sides, relays go only to the
// pairing's joiner and forward only between its two sides within the cap, and no
// datagram, however hostile, gets an answer larger than itself or grows a table past
// its bound.

#include <gtest/gtest.h>

#include <random>
#include <unordered_set>

#include "lobby/lobby_service.h"
#include "lobby/rate_limiter.h"
#include "lobby/relay_session.h"

namespace {

const Endpoint host{0xC6336402, 40000};      // 198.51.100.2
const Endpoint hostPrivate{0x0AC90102, 27615};
const Endpoint joiner{0xC6336403, 50000};    // 198.51.100.3
const Endpoint stranger{0xC6336404, 50000};

InviteCode code(const char* text) { return parseInviteCode(text).value(); }

class Service : public ::testing::Test {
protected:
    Service() : Service(LobbyLimits{}) {}
    explicit Service(const LobbyLimits& limits)
        : service(
              limits, [this] { return ++draws * 0x9E3779B97F4A7C15ull; },
              [this](uint64_t token) -> std::optional<uint16_t> {
                  if (relaysFree == 0) return std::nullopt;
                  --relaysFree;
                  relayTokens.push_back(token);
                  return 45000;
              },
              [this](const std::string& line) { log.push_back(line); }) {}

    // Sends `message` from `from` at `nowMs`; what went out.
    std::vector<Outgoing> send(const Endpoint& from, const LobbyMessage& message, double nowMs) {
        std::vector<Outgoing> out;
        service.receive(from, encodeLobbyMessage(message), nowMs, out);
        return out;
    }
    template <typename M>
    static M only(const std::vector<Outgoing>& out, const Endpoint& to) {
        for (const Outgoing& o : out)
            if (o.to == to) return std::get<M>(decodeLobbyMessage(o.bytes).value());
        throw std::runtime_error("nothing went to that address");
    }
    InviteCode registerHost(double nowMs, uint64_t secret = 77) {
        return only<lobby::Registered>(send(host, lobby::Register{secret, hostPrivate}, nowMs), host).code;
    }

    uint64_t draws = 0;
    int relaysFree = 1;
    std::vector<uint64_t> relayTokens;
    std::vector<std::string> log;
    LobbyService service;
};

TEST_F(Service, ACodeLivesWhileRefreshedAndDiesAfterOrOnceItsMatchStarted) {
    const std::vector<Outgoing> out = send(host, lobby::Register{77, hostPrivate}, 0);
    ASSERT_EQ(out.size(), 1u);
    const auto registered = only<lobby::Registered>(out, host);
    EXPECT_EQ(registered.publicAddress, host);
    // Refreshes keep the code, from wherever the host's router now maps it.
    const Endpoint remapped{host.ip, 40001};
    EXPECT_EQ(only<lobby::Registered>(send(remapped, lobby::Register{77, hostPrivate}, 5000), remapped).code,
              registered.code);
    service.expire(5000 + LobbyLimits{}.codeLifeMs - 1);
    EXPECT_EQ(service.hostCount(), 1u);
    service.expire(5000 + LobbyLimits{}.codeLifeMs + 1);
    EXPECT_EQ(service.hostCount(), 0u);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("code " + toString(registered.code) + " hosted from 198.51.100.2:40001"), std::string::npos);
    EXPECT_NE(log[0].find("ended: no refresh"), std::string::npos);
    // A new registration gets a new code; a close ends it at once.
    const InviteCode again = registerHost(20000, 78);
    EXPECT_NE(again, registered.code);
    send(stranger, lobby::Close{77, lobby::CloseReason::MatchStarted}, 20001);  // a secret long dead
    EXPECT_EQ(service.hostCount(), 1u);
    send(host, lobby::Close{78, lobby::CloseReason::MatchStarted}, 20002);
    EXPECT_EQ(service.hostCount(), 0u);
    EXPECT_NE(log.back().find("ended: the match started"), std::string::npos);
    EXPECT_EQ(only<lobby::NoSuchCode>(send(joiner, lobby::Lookup{5, again, {}}, 20003), joiner).nonce, 5u);
}

TEST_F(Service, ALookupIntroducesBothSidesAndOnlyTheJoinerGetsTheRelay) {
    const InviteCode code = registerHost(0);
    const Endpoint joinerPrivate{0x0AC90203, 27615};
    const std::vector<Outgoing> out = send(joiner, lobby::Lookup{5, code, joinerPrivate}, 10);
    ASSERT_EQ(out.size(), 2u);
    const auto toJoiner = only<lobby::Introduction>(out, joiner);
    const auto toHost = only<lobby::Introduction>(out, host);
    EXPECT_EQ(toJoiner.nonce, 5u);
    EXPECT_EQ(toJoiner.peerPublic, host);
    EXPECT_EQ(toJoiner.peerPrivate, hostPrivate);
    EXPECT_EQ(toHost.peerPublic, joiner);
    EXPECT_EQ(toHost.peerPrivate, joinerPrivate);
    EXPECT_EQ(toHost.token, toJoiner.token);
    EXPECT_EQ(toHost.nonce, 77u);  // the host's secret: an introduction nobody else could forge
    // Asked again (an answer was lost): the same introduction, no second pairing.
    EXPECT_EQ(only<lobby::Introduction>(send(joiner, lobby::Lookup{5, code, joinerPrivate}, 20), joiner).token,
              toJoiner.token);
    EXPECT_EQ(service.pairingCount(), 1u);

    const uint64_t token = toJoiner.token;
    EXPECT_EQ(only<lobby::RelayRefused>(send(stranger, lobby::RelayRequest{token}, 30), stranger).token, token);
    EXPECT_TRUE(relayTokens.empty());
    const std::vector<Outgoing> offers = send(joiner, lobby::RelayRequest{token}, 40);
    EXPECT_EQ(only<lobby::RelayOffer>(offers, joiner).port, 45000);
    EXPECT_EQ(only<lobby::RelayOffer>(offers, host).port, 45000);
    EXPECT_EQ(relayTokens, std::vector<uint64_t>{token});
    // Every relay taken: refused.
    const uint64_t other = only<lobby::Introduction>(send(joiner, lobby::Lookup{6, code, {}}, 50), joiner).token;
    EXPECT_EQ(only<lobby::RelayRefused>(send(joiner, lobby::RelayRequest{other}, 60), joiner).token, other);
    // A pairing is forgotten after its time.
    service.expire(LobbyLimits{}.pairingLifeMs + 100);
    EXPECT_EQ(service.pairingCount(), 0u);
}

TEST_F(Service, GuessingCodesIsSlowAndAnotherVersionIsToldSo) {
    registerHost(0);
    const LobbyLimits limits;
    int answered = 0;
    for (int guess = 0; guess < 100; ++guess)
        answered += !send(joiner, lobby::Lookup{static_cast<uint64_t>(guess + 1), code("ACEF-3479"), {}}, 1000).empty();
    EXPECT_EQ(answered, static_cast<int>(limits.lookups.burst));
    // A second later, one more; another address has its own allowance.
    EXPECT_EQ(send(joiner, lobby::Lookup{500, code("ACEF-3479"), {}}, 2000).size(), 1u);
    EXPECT_EQ(send(joiner, lobby::Lookup{501, code("ACEF-3479"), {}}, 2000).size(), 0u);
    EXPECT_EQ(send(stranger, lobby::Lookup{502, code("ACEF-3479"), {}}, 2000).size(), 1u);

    std::vector<uint8_t> newer = encodeLobbyMessage(lobby::Lookup{1, code("ACEF-3479"), {}});
    newer[4] = kLobbyVersion + 1;
    std::vector<Outgoing> out;
    service.receive(host, newer, 3000, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].bytes, encodeLobbyMessage(lobby::OtherVersion{}));
}

class SmallService : public Service {
protected:
    SmallService() : Service(small()) {}
    static LobbyLimits small() {
        LobbyLimits limits;
        limits.maxHosts = 3;
        limits.maxPairings = 2;
        limits.maxAddresses = 5;
        return limits;
    }
};

TEST_F(SmallService, TablesStayWithinTheirBounds) {
    for (uint32_t i = 0; i < 10; ++i) send({0x0A000000 + i, 1}, lobby::Register{100 + i, {}}, 0);
    EXPECT_EQ(service.hostCount(), 3u);
    const InviteCode code = only<lobby::Registered>(send({0x0A000000, 1}, lobby::Register{100, {}}, 1), {0x0A000000, 1}).code;
    for (uint64_t nonce = 1; nonce <= 5; ++nonce) send(joiner, lobby::Lookup{nonce, code, {}}, 2);
    EXPECT_EQ(service.pairingCount(), 2u);
}

TEST(LobbyServiceAbuse, NoDatagramGetsAnAnswerLargerThanItself) {
    // Random bytes, and valid messages with random fields and random cuts, from random
    // addresses: whatever goes out is no larger than what came in, and goes only to the
    // sender or to a registered host.
    std::mt19937_64 random(21);
    LobbyService service(LobbyLimits{}, [&] { return random() | 1; }, [](uint64_t) { return uint16_t{45000}; },
                         [](const std::string&) {});
    std::unordered_set<Endpoint> hosts;
    const std::vector<uint8_t> lookup = encodeLobbyMessage(lobby::Lookup{1, *inviteCodeFromNumber(0), {}});
    for (int n = 0; n < 20000; ++n) {
        const Endpoint from{static_cast<uint32_t>(0x0A000000 + random() % 64), static_cast<uint16_t>(random())};
        std::vector<uint8_t> bytes;
        switch (random() % 3) {
            case 0: bytes.resize(random() % 80); for (uint8_t& b : bytes) b = static_cast<uint8_t>(random()); break;
            case 1: bytes = encodeLobbyMessage(lobby::Register{random() % 8 + 1, {}}); hosts.insert(from); break;
            default: bytes = lookup; bytes[6 + random() % 8] = static_cast<uint8_t>(random()); break;
        }
        if (random() % 4 == 0 && !bytes.empty()) bytes.resize(random() % bytes.size());
        std::vector<Outgoing> out;
        service.receive(from, bytes, n, out);
        for (const Outgoing& o : out) {
            EXPECT_LE(o.bytes.size(), bytes.size());
            EXPECT_TRUE(o.to == from || hosts.count(o.to) == 1);
        }
    }
}

TEST(RateLimits, RefillOverTimeAndForgetIdleAddressesFirst) {
    RateLimiter limiter({2, 1}, 2);
    EXPECT_TRUE(limiter.allow(1, 0));
    EXPECT_TRUE(limiter.allow(1, 0));
    EXPECT_FALSE(limiter.allow(1, 0));
    EXPECT_TRUE(limiter.allow(1, 1000));
    EXPECT_TRUE(limiter.allow(2, 1000));
    EXPECT_FALSE(limiter.allow(3, 1000));  // full of active senders: a newcomer waits
    EXPECT_TRUE(limiter.allow(3, 4000));   // the others' buckets have filled again
    EXPECT_LE(limiter.trackedAddresses(), 2u);
}

TEST(Relays, ForwardOnlyBetweenTheTwoSidesThatSaidHelloWithinTheCap) {
    RelayLimits limits;
    limits.bandwidth = {3000, 1000};
    RelaySession relay(42, 0, limits);
    const std::vector<uint8_t> data(1000, 0xAB);
    const auto hello = [](lobby::RelaySide side, uint64_t token) {
        return encodeLobbyMessage(lobby::RelayHello{token, side});
    };
    EXPECT_FALSE(relay.route(host, hello(lobby::RelaySide::Host, 42), 0));
    EXPECT_FALSE(relay.route(host, data, 1));  // the joiner has not said hello yet
    EXPECT_FALSE(relay.route(stranger, hello(lobby::RelaySide::Joiner, 41), 2));  // the wrong token
    EXPECT_FALSE(relay.route(host, hello(lobby::RelaySide::Joiner, 42), 3));    // one address, one side
    EXPECT_FALSE(relay.route(joiner, hello(lobby::RelaySide::Joiner, 42), 4));
    EXPECT_FALSE(relay.route(stranger, hello(lobby::RelaySide::Joiner, 42), 5));  // the side is taken
    EXPECT_EQ(relay.route(host, data, 10), joiner);
    EXPECT_EQ(relay.route(joiner, data, 11), host);
    EXPECT_FALSE(relay.route(stranger, data, 12));
    // The cap: a burst of 3000 bytes, then 1000 a second.
    EXPECT_EQ(relay.route(host, data, 13), joiner);
    EXPECT_EQ(relay.route(host, data, 14), joiner);
    EXPECT_FALSE(relay.route(host, data, 15));
    EXPECT_EQ(relay.route(host, data, 1100), joiner);
    EXPECT_FALSE(relay.expired(1100 + limits.silenceMs));
    EXPECT_TRUE(relay.expired(1101 + limits.silenceMs));
    const std::string line = relay.summary(45000, 2000);
    EXPECT_NE(line.find("between 198.51.100.2:40000 and 198.51.100.3:50000"), std::string::npos) << line;
    EXPECT_NE(line.find("4000 B from the host, 1000 B from the joiner, 1 datagrams over the cap"), std::string::npos)
        << line;
}

}  // namespace
