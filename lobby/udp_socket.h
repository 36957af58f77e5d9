#pragma once
// A non-blocking IPv4 UDP socket: the service's main port and each relay's, and the
// game's LAN search and answers.

#include <cstdint>
#include <optional>
#include <span>

#include "lobby/endpoint.h"

struct UdpOptions {
    bool shared = false;     // other sockets may bind the same port (all get broadcasts)
    bool broadcast = false;  // may send to broadcast addresses
};

class UdpSocket {
public:
    // Bound to every address at `port` (0: one the system picks). Invalid if it cannot be.
    explicit UdpSocket(uint16_t port, UdpOptions options = {});
    ~UdpSocket();
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    bool valid() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    uint16_t port() const { return port_; }

    // The next datagram into `buffer`: its size and source, or nothing when none is
    // waiting. A datagram larger than the buffer is dropped (size 0).
    struct Received {
        size_t size = 0;
        Endpoint from;
    };
    std::optional<Received> receive(std::span<uint8_t> buffer);
    // Sends one datagram; one the system cannot take now is dropped, as UDP may.
    void send(const Endpoint& to, std::span<const uint8_t> bytes);

private:
    int fd_ = -1;
    uint16_t port_ = 0;
};
