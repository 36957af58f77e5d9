#pragma once
// The transport between two machines: ENet over UDP. Reliable datagrams travel on one
// channel, unreliable ones (sequenced: a late one is dropped) on another. A host
// serves one peer at a time: the first connection to say something (a joiner asks at
// once). A connection that says nothing within a couple of seconds is dropped, and
// anyone who connects while the host has its peer gets the host's refusal datagram and
// is dropped, never touching the session; a connection turned away or dropped keeps
// its place a second at most, so silent connections cannot keep a joiner out. ENet's
// own buffers are bounded, so a hostile peer cannot make it hold much memory.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "net/transport.h"

typedef struct _ENetHost ENetHost;
typedef struct _ENetPeer ENetPeer;

class EnetTransport final : public Transport {
public:
    // Listens on `address` ("" for every interface, or one like "127.0.0.1") and `port`
    // (0: any free one, see port()). Null, with `error` set, if it cannot.
    static std::unique_ptr<EnetTransport> host(const std::string& address, uint16_t port,
                                               std::vector<uint8_t> refusalForOthers, std::string& error);
    // Starts connecting to a host by name or number. Null, with `error` set, if it cannot.
    static std::unique_ptr<EnetTransport> join(const std::string& address, uint16_t port, std::string& error);
    // A joiner's socket, on any free port, that connects later: the invite path punches
    // through the routers from it first. Null, with `error` set, if it cannot.
    static std::unique_ptr<EnetTransport> open(std::string& error);
    // Starts connecting an opened joiner to the host at `address` (IPv4, host byte
    // order) and `port`; false if it cannot.
    bool connect(uint32_t address, uint16_t port);

    // With a peer still connected, lingers up to a quarter of a second so that the last
    // reliable datagrams (a leave) and the disconnection reach it.
    ~EnetTransport() override;

    void send(std::span<const uint8_t> bytes, Delivery delivery) override;
    void poll(double nowMs, std::vector<LinkEvent>& events) override;
    void disconnect() override;

    // The port this side is bound to.
    uint16_t port() const;
    // The ENet host underneath, for datagrams of other protocols on the same socket
    // (net/socket_tap.h).
    ENetHost* enetHost() const { return host_; }

private:
    // A connection that has not said anything yet, and when it connected.
    struct Unheard {
        ENetPeer* peer;
        double sinceMs;
    };

    EnetTransport(ENetHost* host, bool serving, std::vector<uint8_t> refusalForOthers);
    void hear(ENetPeer* from, std::vector<uint8_t> bytes, std::vector<LinkEvent>& events);
    void turnAway(ENetPeer* peer);
    void forget(ENetPeer* peer);

    ENetHost* host_;
    ENetPeer* peer_ = nullptr;  // the one peer: for a joiner from the start
    bool serving_;              // a host: it accepts a peer when it has none
    std::vector<uint8_t> refusalForOthers_;
    std::vector<Unheard> unheard_;  // a host's connections that may yet become its peer
};
