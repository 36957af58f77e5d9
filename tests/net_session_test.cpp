// The rollback session between two toy games over the fake link, with a fake clock:
// delay, jitter and loss must never change the result, corrections stay within the
// window, time sync keeps the sides level, and every way a session ends.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <span>

#include "net/checksum_ledger.h"
#include "net/fake_link.h"
#include "net/impaired_transport.h"
#include "tests/net_toy_match.h"

namespace {

constexpr double frameMs = 1000.0 / 60.0;

// Sends through another transport what `forge` makes of each packet: the packet,
// changed or not, or nothing to drop it. A peer of a hostile build, as the wire sees it.
class ForgingTransport final : public Transport {
public:
    using Forge = std::function<std::optional<Packet>(Packet)>;
    ForgingTransport(Transport& inner, Forge forge) : inner_(inner), forge_(std::move(forge)) {}
    void send(std::span<const uint8_t> bytes, Delivery delivery) override {
        const std::optional<Packet> packet = forge_(*decodePacket(bytes));
        if (packet) inner_.send(encodePacket(*packet), delivery);
    }
    void poll(double nowMs, std::vector<LinkEvent>& events) override { inner_.poll(nowMs, events); }
    void disconnect() override { inner_.disconnect(); }

private:
    Transport& inner_;
    Forge forge_;
};

// Two sides over one fake link, each sending through its own bad network.
struct FakeMatch {
    FakeLink link;
    std::array<std::unique_ptr<ImpairedTransport>, 2> networks;
    std::unique_ptr<ForgingTransport> forger;
    std::array<SessionConfig, 2> configs;
    std::array<std::unique_ptr<RollbackSession>, 2> sessions;
    std::array<ToySide, 2> sides;
    std::array<double, 2> tickMs{frameMs, frameMs};  // each side's own frame period
    std::array<double, 2> nextTickMs{0, 0};
    double now = 0;

    FakeMatch(const Impairment& impairment, int inputDelay, int32_t endFrame) {
        for (int p = 0; p < 2; ++p) {
            Impairment own = impairment;
            own.seed = impairment.seed + p;
            networks[p] = std::make_unique<ImpairedTransport>(link.end(p), own);
            configs[p].localPlayer = p;
            configs[p].inputDelay = inputDelay;
            configs[p].endFrame = endFrame;
            sessions[p] = std::make_unique<RollbackSession>(*networks[p], configs[p], now);
        }
    }
    // Side p's packets go out as `forge` makes them; before the first step.
    void forge(int p, ForgingTransport::Forge forge) {
        forger = std::make_unique<ForgingTransport>(*networks[p], std::move(forge));
        sessions[p] = std::make_unique<RollbackSession>(*forger, configs[p], now);
    }
    bool running(int p) const { return sessions[p]->status() == SessionStatus::Running; }

    // Ticks whichever side is due next, on the fake clock; false once both have ended.
    // A side that has ended keeps its link serviced, as ENet lingers to deliver its
    // last packets.
    bool step() {
        const int p = nextTickMs[0] <= nextTickMs[1] ? 0 : 1;
        now = nextTickMs[p];
        nextTickMs[p] += tickMs[p];
        RollbackSession& session = *sessions[p];
        if (running(p)) {
            sides[p].carryOut(session, session.tick(scriptedInput(p, session.inputFrame()), now));
        } else {
            std::vector<LinkEvent> unheard;
            networks[p]->poll(now, unheard);
        }
        return running(0) || running(1);
    }
    // Steps until both have ended, at most `seconds` of fake time.
    void runFor(double seconds) {
        while (step() && now < seconds * 1000) {
        }
    }
};

TEST(NetSession, BadNetworksGiveTheStateOfALocalGame) {
    struct Case {
        Impairment impairment;
        int inputDelay;
    };
    const Case cases[] = {
        {{0, 0, 0, 1}, 0},
        {{30, 0, 0, 2}, 2},
        {{80, 0, 10, 3}, 2},   // the hardest case the game promises to play well
        {{60, 40, 25, 4}, 1},  // packets overtaking each other, a quarter lost
    };
    constexpr int32_t frames = 600;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.impairment.delayMs << " ms, " << c.impairment.lossPercent << " % lost");
        FakeMatch match(c.impairment, c.inputDelay, frames);
        match.runFor(30);
        EXPECT_LT(match.now, frames * frameMs + 1000);  // finished together, not by giving up
        const ToyState expected = localToyRun(frames, c.inputDelay);
        for (int p = 0; p < 2; ++p) {
            EXPECT_EQ(match.sessions[p]->status(), SessionStatus::Finished);
            EXPECT_EQ(match.sides[p].state, expected);
            ASSERT_EQ(match.sides[p].confirmed.size(), static_cast<size_t>(frames));
            for (int32_t f = 0; f < frames; f += 37)
                EXPECT_EQ(match.sides[p].confirmed[f], scriptedFrame(f, c.inputDelay)) << f;
            const NetStats& stats = match.sessions[p]->stats();
            EXPECT_LE(stats.maxRollbackFrames, kMaxRollbackFrames);
            EXPECT_EQ(match.sides[p].worstQuietRun, stats.maxRollbackFrames);
            // Predictions go wrong on a slow link, and get corrected.
            if (c.impairment.delayMs >= 60) {
                EXPECT_GT(stats.maxRollbackFrames, 0);
            }
            // The link's round trip, plus up to two frames for packets read once a frame.
            const double linkMs = 2 * c.impairment.delayMs + c.impairment.jitterMs;
            EXPECT_NEAR(stats.roundTripMs, linkMs + frameMs, frameMs + 5);
        }
    }
}

TEST(NetSession, TimeSyncKeepsTheFasterSideFromRunningAhead) {
    // One machine's frames are 3 % slower: without time sync the faster side would
    // run into the window and stop for the other's inputs again and again.
    FakeMatch match({40, 0, 0, 5}, 2, -1);
    match.tickMs[1] = frameMs * 1.03;
    int worstGap = 0;
    int waitsBeforeSettling = 0;
    while (match.now < 60000) {
        match.step();
        if (match.now < 2000) waitsBeforeSettling = match.sessions[0]->stats().framesWaitedForInputs;
        const int gap = match.sessions[0]->frame() - match.sessions[1]->frame();
        if (match.now > 2000) worstGap = std::max(worstGap, std::abs(gap));
    }
    const NetStats& fast = match.sessions[0]->stats();
    EXPECT_LE(worstGap, 4);
    EXPECT_EQ(fast.framesWaitedForInputs, waitsBeforeSettling);  // no stutter once settled
    // About one frame in 33 waited, spread out rather than in bursts.
    EXPECT_NEAR(fast.framesWaitedForSync, 3600 * 0.03 / 1.03, 20);
    EXPECT_NEAR(fast.framesAhead, 0, 1.5);
    EXPECT_LE(match.sessions[1]->stats().framesWaitedForSync, 3);
}

TEST(NetSession, DivergingBuildsEndInDesyncOnBothSides) {
    FakeMatch match({30, 0, 5, 6}, 2, -1);
    match.sides[1].divergeAt = 100;
    match.runFor(10);
    EXPECT_EQ(match.sessions[0]->status(), SessionStatus::Desync);
    EXPECT_EQ(match.sessions[1]->status(), SessionStatus::Desync);
    // The first checkpoint after the divergence, found by one side or both.
    const int32_t found = std::max(match.sessions[0]->desyncFrame(), match.sessions[1]->desyncFrame());
    EXPECT_EQ(found, (100 / kChecksumInterval + 1) * kChecksumInterval);
    EXPECT_LT(match.sessions[0]->frame(), found + 2 * kMaxRollbackFrames);
}

TEST(NetSession, AnEndFoundInTheConfirmedStateFinishesBothSidesThere) {
    // Over at the first frame from 300 on whose state has a position divisible by 5:
    // neither side knows the frame in advance, and a slow side has run past it.
    const auto over = [](const ToyState& state) { return state.frame >= 300 && state.position[0] % 5 == 0; };
    ToyState local;
    while (!over(local)) stepToy(local, scriptedFrame(local.frame, 2));
    for (const Impairment& impairment : {Impairment{0, 0, 0, 1}, Impairment{80, 20, 10, 3}}) {
        SCOPED_TRACE(testing::Message() << impairment.delayMs << " ms");
        FakeMatch match(impairment, 2, -1);
        for (ToySide& side : match.sides) side.endsWhen = over;
        match.runFor(30);
        for (int p = 0; p < 2; ++p) {
            EXPECT_EQ(match.sessions[p]->status(), SessionStatus::Finished);
            EXPECT_EQ(match.sides[p].endFrame, local.frame);
            EXPECT_EQ(match.sides[p].endState, local);
            EXPECT_EQ(match.sides[p].confirmed.size(), static_cast<size_t>(local.frame));
        }
        EXPECT_LT(match.now, local.frame * frameMs + 1000);  // together, not by giving up
    }
}

TEST(NetSession, LeavingAndSilenceEndTheOtherSide) {
    FakeMatch leaving({30, 0, 0, 7}, 2, -1);
    while (leaving.sessions[0]->frame() < 50 && leaving.now < 5000) leaving.step();
    leaving.sessions[0]->leave();
    leaving.runFor(2);
    EXPECT_EQ(leaving.sessions[0]->status(), SessionStatus::Left);
    EXPECT_EQ(leaving.sessions[1]->status(), SessionStatus::OpponentLeft);

    FakeMatch cut({30, 0, 0, 8}, 2, -1);
    while (cut.now < 1000) cut.step();
    cut.link.cut();
    const double cutAt = cut.now;
    cut.runFor(20);
    for (int p = 0; p < 2; ++p) EXPECT_EQ(cut.sessions[p]->status(), SessionStatus::ConnectionLost);
    EXPECT_NEAR(cut.now - cutAt, kSilenceLimitMs, 100);
}

// An inputs packet from the peer: `count` inputs from frame `first` on, each holding a key
// unless another `input` is given.
std::vector<uint8_t> forgedInputs(int32_t senderFrame, int32_t received, int32_t first, int count,
                                  PlayerInput input = {1, 0, 0}) {
    InputsPacket packet;
    packet.senderFrame = senderFrame;
    packet.received = received;
    packet.firstFrame = first;
    packet.inputs.assign(static_cast<size_t>(count), input);
    return encodePacket(packet);
}

TEST(NetSession, APeerThatSendsOnlyKeepAlivesIsALostConnection) {
    FakeLink link;
    RollbackSession host(link.end(0), {0, 2, -1, frameMs}, 0);
    double now = 0;
    for (int f = 0; f < 10; ++f) host.tick({}, now += frameMs);
    // The peer's frames 2 to 7, then the same again and again: valid, but it never moves on.
    const std::vector<uint8_t> stuck = forgedInputs(6, 6, 2, 6);
    const double lastNewInput = now + frameMs;
    while (host.status() == SessionStatus::Running && now < 3 * kSilenceLimitMs) {
        link.end(1).send(stuck, Delivery::Unreliable);
        host.tick({}, now += frameMs);
    }
    EXPECT_EQ(host.status(), SessionStatus::ConnectionLost);
    EXPECT_NEAR(now - lastNewInput, kSilenceLimitMs, 2 * frameMs);
}

TEST(NetSession, APeerThatWithholdsItsChecksumsEndsInDesync) {
    // At a checkpoint in the match, and at the end of a match too short for one.
    for (const int32_t endFrame : {-1, kChecksumInterval - 6}) {
        SCOPED_TRACE(endFrame);
        FakeMatch match({30, 0, 5, 9}, 2, endFrame);
        match.forge(1, [](Packet packet) -> std::optional<Packet> {
            if (std::holds_alternative<ChecksumPacket>(packet)) return std::nullopt;
            return packet;
        });
        match.runFor(30);
        EXPECT_EQ(match.sessions[0]->status(), SessionStatus::Desync);
        EXPECT_LT(match.now, (kChecksumInterval + kChecksumOverdueFrames) * frameMs + 1000);
    }
}

TEST(NetSession, AClaimToRunFarBehindDoesNotSlowTheOtherSide) {
    constexpr int32_t frames = 1800;
    FakeMatch match({40, 0, 0, 10}, 2, frames);
    match.forge(1, [](Packet packet) -> std::optional<Packet> {
        if (auto* inputs = std::get_if<InputsPacket>(&packet)) inputs->advantage = -128;
        return packet;
    });
    match.runFor(60);
    EXPECT_EQ(match.sessions[0]->status(), SessionStatus::Finished);
    EXPECT_LE(match.sessions[0]->stats().framesWaitedForSync, 3);
    EXPECT_LT(match.now, frames * frameMs + 1000);
}

TEST(NetSession, PredictedFramesRepeatNeitherAPressNorATypedCharacter) {
    FakeLink link;
    RollbackSession host(link.end(0), {0, 2, -1, frameMs}, 0);
    double now = 0;
    for (int f = 0; f < 8; ++f) host.tick({}, now += frameMs);
    // The joiner's frames 2 to 5, the last with a press and a typed letter: frames 6 to 8
    // run on a guess from it.
    InputsPacket packet;
    packet.senderFrame = 4;
    packet.received = 4;
    packet.firstFrame = 2;
    packet.inputs.assign(4, PlayerInput{1, 0, 0});
    packet.inputs.back() = PlayerInput{1, 1, 'x'};
    link.end(1).send(encodePacket(packet), Delivery::Unreliable);
    int guessed = 0;
    for (const SessionRequest& r : host.tick({}, now += frameMs)) {
        if (r.kind != SessionRequest::Kind::Advance || r.frame <= 5) continue;
        EXPECT_EQ(r.inputs[1], (PlayerInput{1, 0, 0})) << "frame " << r.frame;
        guessed += 1;
    }
    EXPECT_EQ(guessed, 3);
}

TEST(NetChecksumLedger, ComparesTheSameFrameOnBothSidesWhicheverComesFirst) {
    // This side ahead: its 16 and 32 wait when the peer's 32 comes, with no 16 before it.
    ChecksumLedger ahead;
    ahead.addLocal(16, 1);
    ahead.addLocal(32, 2);
    ASSERT_TRUE(ahead.addRemote(32, 3));
    EXPECT_EQ(ahead.mismatchFrame(), 32);
    // The peer ahead.
    ChecksumLedger behind;
    ASSERT_TRUE(behind.addRemote(16, 1));
    ASSERT_TRUE(behind.addRemote(32, 3));
    behind.addLocal(32, 2);
    EXPECT_EQ(behind.mismatchFrame(), 32);
}

// A forged packet from the peer, after a few honest frames from a host at frame 10
// with input delay 2: the joiner's inputs for frames 2 to 7 and a checksum of frame 8.
class NetSessionForgery : public testing::TestWithParam<std::vector<uint8_t>> {};

TEST_P(NetSessionForgery, DropsThePeer) {
    FakeLink link;
    RollbackSession host(link.end(0), {0, 2, -1, frameMs}, 0);
    double now = 0;
    for (int f = 0; f < 10; ++f) host.tick({}, now += frameMs);
    link.end(1).send(forgedInputs(6, 6, 2, 6), Delivery::Unreliable);
    link.end(1).send(encodePacket(ChecksumPacket{8, 5}), Delivery::Reliable);
    host.tick({}, now += frameMs);
    ASSERT_EQ(host.status(), SessionStatus::Running);
    link.end(1).send(GetParam(), Delivery::Unreliable);
    host.tick({}, now += frameMs);
    EXPECT_EQ(host.status(), SessionStatus::PeerMisbehaved);
}

INSTANTIATE_TEST_SUITE_P(
    NetForgedPackets, NetSessionForgery,
    testing::Values(std::vector<uint8_t>{0x04, 0x01},  // a truncated inputs packet
                    encodePacket(JoinRequest{}),       // a handshake long after the handshake
                    forgedInputs(6, 40, 2, 6),         // acknowledges frames never sent
                    forgedInputs(6, 14, 2, 6),         // acknowledges two past the host's newest, 12
                    forgedInputs(30, 6, 2, 6),         // runs past the window
                    forgedInputs(15, 6, 2, 6),         // runs one frame past it
                    forgedInputs(20, 12, 12, 10),      // skips frames 8 to 11
                    forgedInputs(8, 6, 9, 1),          // skips frame 8
                    forgedInputs(6, 6, 0, 8),          // sends frames the delay covers
                    forgedInputs(6, 6, 1, 1, {}),      // sends frame 1, which the delay covers, even as empty
                    forgedInputs(12, 12, 2, 13),       // carries one frame past its own
                    [] {                               // rewrites a frame already sent
                        InputsPacket packet;
                        packet.senderFrame = 7;
                        packet.received = 6;
                        packet.firstFrame = 2;
                        packet.inputs.assign(7, PlayerInput{1, 0, 0});
                        packet.inputs[3].held = 2;
                        return encodePacket(packet);
                    }(),
                    encodePacket(ChecksumPacket{200, 5}),  // checks a frame it cannot have
                    encodePacket(ChecksumPacket{14, 5}),   // checks one past the frames it can have
                    encodePacket(ChecksumPacket{8, 5}),    // checks frame 8 again
                    encodePacket(ChecksumPacket{7, 5})));  // goes back to an earlier frame

}  // namespace
