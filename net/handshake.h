#pragma once
// The first words between host and joiner, before the rollback session starts on the
// same transport. The joiner asks with its protocol version and its build's simulation
// fingerprint; the host refuses one that would diverge, with one reason, and welcomes
// the first that fits with its settings (bytes the game fills: options, seed, mode)
// and the input delay. A refused joiner is dropped and the host goes on waiting.

#include <cstdint>
#include <optional>
#include <vector>

#include "net/protocol.h"
#include "net/transport.h"

// A joiner that says nothing, or a host that does not answer, is given up after this.
inline constexpr double kHandshakeTimeoutMs = 5000;

enum class HandshakeState : uint8_t { Waiting, Ready, Failed };

enum class JoinFailure : uint8_t {
    None,
    VersionMismatch,  // refused: another protocol version
    DifferentBuild,   // refused: another simulation build
    SessionFull,      // refused: the host already plays someone
    NoAnswer,         // no welcome within kHandshakeTimeoutMs, or no host there
    BadReply,         // the host sent something that is not a handshake packet
};

// One line saying why, for the screen or the terminal.
const char* describeJoinFailure(JoinFailure failure);
const char* describeRefusal(RefusalReason reason);

// What a host's transport sends anyone who connects while it has its opponent.
std::vector<uint8_t> sessionFullRefusal();

class HostHandshake {
public:
    HostHandshake(Transport& transport, uint64_t buildFingerprint, std::vector<uint8_t> settings, int inputDelay);

    // Services the link; Ready once a joiner has been welcomed.
    HandshakeState poll(double nowMs);
    // The input delay the welcome carries (0 to kMaxInputDelay), until it is sent:
    // where the round trip to a joiner is known, the host sets it to suit.
    void setInputDelay(int inputDelay);
    int inputDelay() const { return welcome_.inputDelay; }
    // Why the latest joiner was turned away, if one was.
    std::optional<RefusalReason> lastRefusal() const { return lastRefusal_; }

private:
    void take(const std::vector<uint8_t>& bytes);
    void refuse(RefusalReason reason);
    void dropPeer();

    Transport& transport_;
    uint64_t fingerprint_;
    Welcome welcome_;
    HandshakeState state_ = HandshakeState::Waiting;
    double peerSinceMs_ = -1;  // when the current peer connected; -1: none
    std::optional<RefusalReason> lastRefusal_;
    std::vector<LinkEvent> events_;
};

class JoinHandshake {
public:
    // The transport is already connecting to the host.
    JoinHandshake(Transport& transport, uint64_t buildFingerprint, double nowMs);

    // Services the link; Ready with the host's welcome, or Failed with a reason.
    HandshakeState poll(double nowMs);
    const Welcome& welcome() const { return welcome_; }
    JoinFailure failure() const { return failure_; }

private:
    void take(const std::vector<uint8_t>& bytes);
    void fail(JoinFailure failure);

    Transport& transport_;
    uint64_t fingerprint_;
    double startMs_;
    HandshakeState state_ = HandshakeState::Waiting;
    Welcome welcome_;
    JoinFailure failure_ = JoinFailure::None;
    std::vector<LinkEvent> events_;
};
