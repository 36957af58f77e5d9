#pragma once
// Hosting through the invite service, on the game's own socket: registers for a code
// and refreshes it, and for each joiner the service introduces, punches toward the
// joiner's public and private addresses (and greets the relay when one is offered) and
// answers the joiner's pings. The joiner then connects over ENet by the first path
// that answered; the match never notices which. The round trip of every path that
// answered is kept, so the host knows its opponent's before the match starts.
//
// Every poll, after the transport's: invite.poll(nowMs). Once the match starts,
// close(): the code dies at the service at once, and punching stops.

#include <cstdint>
#include <deque>
#include <optional>

#include "net/path_probe.h"
#include "net/socket_tap.h"

enum class InviteHostState : uint8_t {
    Registering,   // no answer from the service yet
    Registered,    // the code is live
    Unreachable,   // no answer within kServiceAnswerMs; it is still asked now and then
    OtherVersion,  // the service speaks another version of the messages
};

class InviteHost {
public:
    InviteHost(ENetHost* socket, const Endpoint& service, double nowMs);

    void poll(double nowMs);
    // The match started, or hosting ends: the service forgets the code now.
    void close(lobby::CloseReason reason);

    InviteHostState state() const { return state_; }
    // The code, once registered.
    const std::optional<InviteCode>& code() const { return code_; }
    // The round trip measured on the path from `address`, if a joiner answered there.
    std::optional<double> roundTripTo(const Endpoint& address) const;

private:
    void take(const TappedMessage& tapped, double nowMs);
    void introduced(const lobby::Introduction& introduction, double nowMs);

    struct Joiner {
        PathProbe probe;
        double sinceMs;
    };

    SocketTap tap_;
    Endpoint service_;
    uint64_t secret_;
    double startMs_;
    double lastRegisterMs_ = -1e18;
    InviteHostState state_ = InviteHostState::Registering;
    std::optional<InviteCode> code_;
    std::deque<Joiner> joiners_;  // the latest introductions, a few at most
    bool closed_ = false;
};
