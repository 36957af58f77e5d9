#pragma once
// Joining by invite code, on the game's own socket before it connects: asks the
// service for the code, punches toward the host's public and private addresses, and
// takes the first path that answers. When none has answered within kPunchingMs, asks
// the service for a relay and punches through it too (a direct path that answers late
// still wins). The caller then connects ENet to hostAddress().
//
// Every poll, after the transport's: invite.poll(nowMs). It goes on answering the
// host's pings after Found, so the host can time the path before the match starts.

#include <cstdint>
#include <optional>

#include "net/path_probe.h"
#include "net/socket_tap.h"

inline constexpr double kPunchingMs = 3000;  // before asking for the relay
inline constexpr double kRelayingMs = 4000;  // then, before giving up

enum class InviteJoinStage : uint8_t { AskingService, Punching, Relaying, Found, Failed };

enum class InviteJoinFailure : uint8_t {
    None,
    NoSuchCode,          // the service knows no live code of that name
    ServiceUnreachable,  // no answer from the service within kServiceAnswerMs
    ServiceOtherVersion, // the service speaks another version
    HostDidNotAnswer,    // neither punching nor the relay reached the host
    NoRelay,             // punching failed and the service had no relay to give
};

class InviteJoin {
public:
    InviteJoin(ENetHost* socket, const Endpoint& service, const InviteCode& code, double nowMs);

    void poll(double nowMs);
    InviteJoinStage stage() const { return stage_; }
    InviteJoinFailure failure() const { return failure_; }
    // Found: where the host answered, whether that is the relay, and the round trip.
    const Endpoint& hostAddress() const { return hostAddress_; }
    bool throughRelay() const { return throughRelay_; }
    double roundTripMs() const { return roundTripMs_; }

private:
    void take(const TappedMessage& tapped, double nowMs);
    void fail(InviteJoinFailure failure);

    SocketTap tap_;
    Endpoint service_;
    InviteCode code_;
    uint64_t nonce_;
    double stageStartMs_;
    double lastAskedMs_ = -1e18;
    InviteJoinStage stage_ = InviteJoinStage::AskingService;
    InviteJoinFailure failure_ = InviteJoinFailure::None;
    std::optional<PathProbe> probe_;
    Endpoint hostAddress_;
    bool throughRelay_ = false;
    double roundTripMs_ = 0;
};
