#pragma once
// The link to the one peer: datagrams out, datagrams and connection events in. ENet
// serves it between machines (net/enet_transport.h), FakeLink inside one process
// (net/fake_link.h), and ImpairedTransport wraps either to delay and drop packets.
// Time arrives as an argument, so a fake clock drives the fake link.

#include <cstdint>
#include <span>
#include <vector>

enum class Delivery : uint8_t {
    Reliable,    // arrives once and in order with other reliable datagrams, resent if lost
    Unreliable,  // may be lost or arrive out of order; never resent
};

struct LinkEvent {
    enum class Kind : uint8_t {
        Connected,     // a peer is there
        Received,      // `bytes` came from the peer
        Disconnected,  // the peer ended the link
        TimedOut,      // the peer went silent and the link gave up
    };
    Kind kind = Kind::Received;
    std::vector<uint8_t> bytes;
};

class Transport {
public:
    virtual ~Transport() = default;

    // Sends one datagram to the peer; dropped quietly while there is no peer.
    virtual void send(std::span<const uint8_t> bytes, Delivery delivery) = 0;
    // Services the link up to `nowMs` (milliseconds, any origin) and appends what
    // happened since the last call.
    virtual void poll(double nowMs, std::vector<LinkEvent>& events) = 0;
    // Ends the link with the current peer once what was sent is delivered; no event
    // follows on this side. A host then waits for another peer.
    virtual void disconnect() = 0;
};
