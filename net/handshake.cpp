#include "net/handshake.h"

#include <cassert>

const char* describeRefusal(RefusalReason reason) {
    switch (reason) {
        case RefusalReason::VersionMismatch: return "the two games speak different network protocol versions";
        case RefusalReason::DifferentBuild: return "the two games are different builds and would not play alike";
        case RefusalReason::SessionFull: return "the host is already playing an opponent";
    }
    return "refused";
}

const char* describeJoinFailure(JoinFailure failure) {
    switch (failure) {
        case JoinFailure::None: return "";
        case JoinFailure::VersionMismatch: return describeRefusal(RefusalReason::VersionMismatch);
        case JoinFailure::DifferentBuild: return describeRefusal(RefusalReason::DifferentBuild);
        case JoinFailure::SessionFull: return describeRefusal(RefusalReason::SessionFull);
        case JoinFailure::NoAnswer: return "no answer from the host";
        case JoinFailure::BadReply: return "the host's answer makes no sense";
    }
    return "";
}

std::vector<uint8_t> sessionFullRefusal() { return encodePacket(Refusal{RefusalReason::SessionFull}); }

// ---- Host -----------------------------------------------------------------------------

HostHandshake::HostHandshake(Transport& transport, uint64_t buildFingerprint, std::vector<uint8_t> settings,
                             int inputDelay)
    : transport_(transport), fingerprint_(buildFingerprint) {
    assert(settings.size() <= kMaxSettingsBytes && inputDelay >= 0 && inputDelay <= kMaxInputDelay);
    welcome_.inputDelay = static_cast<uint8_t>(inputDelay);
    welcome_.settings = std::move(settings);
}

HandshakeState HostHandshake::poll(double nowMs) {
    if (state_ == HandshakeState::Ready) return state_;
    events_.clear();
    transport_.poll(nowMs, events_);
    for (const LinkEvent& event : events_) {
        switch (event.kind) {
            case LinkEvent::Kind::Connected:
                peerSinceMs_ = nowMs;
                break;
            case LinkEvent::Kind::Received:
                take(event.bytes);
                break;
            case LinkEvent::Kind::Disconnected:
            case LinkEvent::Kind::TimedOut:
                peerSinceMs_ = -1;
                break;
        }
        // The joiner sends nothing more until welcomed: nothing the session needs is lost.
        if (state_ == HandshakeState::Ready) return state_;
    }
    // A peer that connects and never asks would keep the seat from everyone else.
    if (peerSinceMs_ >= 0 && nowMs - peerSinceMs_ > kHandshakeTimeoutMs) dropPeer();
    return state_;
}

void HostHandshake::setInputDelay(int inputDelay) {
    assert(inputDelay >= 0 && inputDelay <= kMaxInputDelay);
    if (state_ == HandshakeState::Waiting) welcome_.inputDelay = static_cast<uint8_t>(inputDelay);
}

void HostHandshake::take(const std::vector<uint8_t>& bytes) {
    if (peerSinceMs_ < 0) return;  // from a peer already dropped
    const std::optional<Packet> packet = decodePacket(bytes);
    const auto* join = packet ? std::get_if<JoinRequest>(&*packet) : nullptr;
    if (join == nullptr) {
        dropPeer();
    } else if (join->protocolVersion != kProtocolVersion) {
        refuse(RefusalReason::VersionMismatch);
    } else if (join->buildFingerprint != fingerprint_) {
        refuse(RefusalReason::DifferentBuild);
    } else {
        transport_.send(encodePacket(welcome_), Delivery::Reliable);
        state_ = HandshakeState::Ready;
    }
}

void HostHandshake::refuse(RefusalReason reason) {
    transport_.send(encodePacket(Refusal{reason}), Delivery::Reliable);
    lastRefusal_ = reason;
    dropPeer();
}

void HostHandshake::dropPeer() {
    transport_.disconnect();
    peerSinceMs_ = -1;
}

// ---- Joiner ---------------------------------------------------------------------------

JoinHandshake::JoinHandshake(Transport& transport, uint64_t buildFingerprint, double nowMs)
    : transport_(transport), fingerprint_(buildFingerprint), startMs_(nowMs) {}

HandshakeState JoinHandshake::poll(double nowMs) {
    if (state_ != HandshakeState::Waiting) return state_;
    events_.clear();
    transport_.poll(nowMs, events_);
    for (const LinkEvent& event : events_) {
        switch (event.kind) {
            case LinkEvent::Kind::Connected:
                transport_.send(encodePacket(JoinRequest{kProtocolVersion, fingerprint_}), Delivery::Reliable);
                break;
            case LinkEvent::Kind::Received:
                take(event.bytes);
                break;
            case LinkEvent::Kind::Disconnected:
            case LinkEvent::Kind::TimedOut:
                fail(JoinFailure::NoAnswer);
                break;
        }
        // What follows the welcome is the session's: the host's first inputs, which it
        // sends again until they are acknowledged.
        if (state_ != HandshakeState::Waiting) return state_;
    }
    if (nowMs - startMs_ > kHandshakeTimeoutMs) fail(JoinFailure::NoAnswer);
    return state_;
}

void JoinHandshake::take(const std::vector<uint8_t>& bytes) {
    std::optional<Packet> packet = decodePacket(bytes);
    if (!packet) return fail(JoinFailure::BadReply);
    if (auto* welcome = std::get_if<Welcome>(&*packet)) {
        welcome_ = std::move(*welcome);
        state_ = HandshakeState::Ready;
    } else if (const auto* refusal = std::get_if<Refusal>(&*packet)) {
        switch (refusal->reason) {
            case RefusalReason::VersionMismatch: return fail(JoinFailure::VersionMismatch);
            case RefusalReason::DifferentBuild: return fail(JoinFailure::DifferentBuild);
            case RefusalReason::SessionFull: return fail(JoinFailure::SessionFull);
        }
    } else if (!std::holds_alternative<InputsPacket>(*packet)) {
        // The host's unreliable inputs may overtake its welcome; anything else is wrong.
        fail(JoinFailure::BadReply);
    }
}

void JoinHandshake::fail(JoinFailure failure) {
    failure_ = failure;
    state_ = HandshakeState::Failed;
    transport_.disconnect();
}
