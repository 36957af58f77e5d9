#pragma once
// The invite service's messages on the game's own ENet socket. Punching only works
// from the socket the match will use, since a router's mapping belongs to one socket:
// so the host registers, both sides punch and both say hello to a relay from that
// socket. The tap sends raw datagrams on it, and takes out of ENet's stream every
// datagram that decodes as a lobby message (ENet's own never do); everything else goes
// on to ENet. Datagrams arrive while the transport is polled; take() hands them over.

#include <cstddef>
#include <vector>

#include "lobby/lobby_messages.h"

typedef struct _ENetHost ENetHost;

struct TappedMessage {
    Endpoint from;
    LobbyMessage message;
};

class SocketTap {
public:
    explicit SocketTap(ENetHost* host);
    ~SocketTap();
    SocketTap(const SocketTap&) = delete;
    SocketTap& operator=(const SocketTap&) = delete;

    void send(const Endpoint& to, const LobbyMessage& message);
    // What arrived since the last call, oldest first; at most kMaxHeld, later ones are dropped.
    std::vector<TappedMessage> take();
    // The port the socket is bound to.
    uint16_t port() const;

    static constexpr size_t kMaxHeld = 256;

private:
    friend struct TapRegistry;
    ENetHost* host_;
    std::vector<TappedMessage> held_;
};
