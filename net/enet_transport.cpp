#include "net/enet_transport.h"

#include <enet/enet.h>

#include <algorithm>
#include <cstdlib>

#include "net/protocol.h"

namespace {

constexpr size_t channelCount = 2;
constexpr enet_uint8 reliableChannel = 0;
constexpr enet_uint8 unreliableChannel = 1;
// The data of our own disconnections; ENet reports 0 when a peer timed out.
constexpr enet_uint32 graceful = 1;
constexpr size_t hostPeerSlots = 4;  // the opponent, and room to turn others away
constexpr enet_uint32 peerTimeoutMs = 5000;
// A joiner asks as soon as it is connected; a connection silent this long is not one.
constexpr double unheardLimitMs = 2000;
// How long a connection turned away or dropped has to take what was sent to it (a
// refusal, a leave) before its place is free for someone else.
constexpr enet_uint32 leavingTimeoutMs = 1000;
// ENet's defaults let a peer make it buffer 32 MB; nothing we send comes near these.
constexpr size_t maxWaitingBytes = 64 * 1024;
// A flood of datagrams cannot hold up the frame: the rest wait for the next poll.
constexpr int maxEventsPerPoll = 1024;
constexpr enet_uint32 lingerMs = 250;

bool startEnet() {
    static const bool started = [] {
        if (enet_initialize() != 0) return false;
        std::atexit(enet_deinitialize);
        return true;
    }();
    return started;
}

ENetHost* createHost(const ENetAddress* address, size_t peers) {
    ENetHost* host = enet_host_create(address, peers, channelCount, 0, 0);
    if (host != nullptr) {
        host->maximumPacketSize = kMaxPacketBytes;
        host->maximumWaitingData = maxWaitingBytes;
    }
    return host;
}

void sendTo(ENetPeer* peer, std::span<const uint8_t> bytes, Delivery delivery) {
    const bool reliable = delivery == Delivery::Reliable;
    ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), reliable ? ENET_PACKET_FLAG_RELIABLE : 0);
    if (packet != nullptr && enet_peer_send(peer, reliable ? reliableChannel : unreliableChannel, packet) != 0)
        enet_packet_destroy(packet);
}

}  // namespace

EnetTransport::EnetTransport(ENetHost* host, bool serving, std::vector<uint8_t> refusalForOthers)
    : host_(host), serving_(serving), refusalForOthers_(std::move(refusalForOthers)) {}

std::unique_ptr<EnetTransport> EnetTransport::host(const std::string& address, uint16_t port,
                                                   std::vector<uint8_t> refusalForOthers, std::string& error) {
    if (!startEnet()) {
        error = "cannot start the network library";
        return nullptr;
    }
    ENetAddress bind{};
    bind.host = ENET_HOST_ANY;
    bind.port = port;
    if (!address.empty() && enet_address_set_host_ip(&bind, address.c_str()) != 0) {
        error = "not a network address: " + address;
        return nullptr;
    }
    ENetHost* host = createHost(&bind, hostPeerSlots);
    if (host == nullptr) {
        error = "cannot listen on port " + std::to_string(port);
        return nullptr;
    }
    return std::unique_ptr<EnetTransport>(new EnetTransport(host, true, std::move(refusalForOthers)));
}

std::unique_ptr<EnetTransport> EnetTransport::join(const std::string& address, uint16_t port, std::string& error) {
    std::unique_ptr<EnetTransport> transport = open(error);
    if (!transport) return nullptr;
    ENetAddress target{};
    if (enet_address_set_host(&target, address.c_str()) != 0) {
        error = "unknown host: " + address;
        return nullptr;
    }
    if (!transport->connect(ENET_NET_TO_HOST_32(target.host), port)) {
        error = "cannot open a network socket";
        return nullptr;
    }
    return transport;
}

std::unique_ptr<EnetTransport> EnetTransport::open(std::string& error) {
    if (!startEnet()) {
        error = "cannot start the network library";
        return nullptr;
    }
    ENetAddress any{};
    any.host = ENET_HOST_ANY;
    ENetHost* host = createHost(&any, 1);
    if (host == nullptr) {
        error = "cannot open a network socket";
        return nullptr;
    }
    return std::unique_ptr<EnetTransport>(new EnetTransport(host, false, {}));
}

bool EnetTransport::connect(uint32_t address, uint16_t port) {
    ENetAddress target{};
    target.host = ENET_HOST_TO_NET_32(address);
    target.port = port;
    peer_ = enet_host_connect(host_, &target, channelCount, 0);
    if (peer_ == nullptr) return false;
    enet_peer_timeout(peer_, 0, peerTimeoutMs, peerTimeoutMs);
    return true;
}

EnetTransport::~EnetTransport() {
    bool lingering = false;
    for (size_t i = 0; i < host_->peerCount; ++i) {
        ENetPeer* peer = &host_->peers[i];
        if (peer->state == ENET_PEER_STATE_CONNECTED) enet_peer_disconnect_later(peer, graceful);
        lingering = lingering || peer->state != ENET_PEER_STATE_DISCONNECTED;
    }
    const enet_uint32 deadline = enet_time_get() + lingerMs;
    ENetEvent event;
    while (lingering && enet_time_get() < deadline && enet_host_service(host_, &event, 10) >= 0) {
        if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
        lingering = false;
        for (size_t i = 0; i < host_->peerCount; ++i)
            lingering = lingering || host_->peers[i].state != ENET_PEER_STATE_DISCONNECTED;
    }
    enet_host_destroy(host_);
}

void EnetTransport::send(std::span<const uint8_t> bytes, Delivery delivery) {
    if (peer_ == nullptr || peer_->state != ENET_PEER_STATE_CONNECTED) return;
    sendTo(peer_, bytes, delivery);
    // Out now rather than at the next poll, a frame later.
    enet_host_flush(host_);
}

void EnetTransport::poll(double nowMs, std::vector<LinkEvent>& events) {
    ENetEvent event;
    for (int n = 0; n < maxEventsPerPoll && enet_host_service(host_, &event, 0) > 0; ++n) {
        switch (event.type) {
            case ENET_EVENT_TYPE_CONNECT:
                if (event.peer == peer_) {
                    events.push_back({LinkEvent::Kind::Connected, {}});
                } else if (serving_ && peer_ == nullptr) {
                    enet_peer_timeout(event.peer, 0, peerTimeoutMs, peerTimeoutMs);
                    unheard_.push_back({event.peer, nowMs});
                } else {
                    turnAway(event.peer);
                }
                break;
            case ENET_EVENT_TYPE_RECEIVE:
                hear(event.peer, {event.packet->data, event.packet->data + event.packet->dataLength}, events);
                enet_packet_destroy(event.packet);
                break;
            case ENET_EVENT_TYPE_DISCONNECT:
                forget(event.peer);
                if (event.peer == peer_) {
                    peer_ = nullptr;
                    events.push_back(
                        {event.data == graceful ? LinkEvent::Kind::Disconnected : LinkEvent::Kind::TimedOut, {}});
                }
                break;
            case ENET_EVENT_TYPE_NONE:
                break;
        }
    }
    for (const Unheard& connection : std::vector<Unheard>(unheard_)) {
        if (nowMs - connection.sinceMs < unheardLimitMs) continue;
        forget(connection.peer);
        enet_peer_disconnect_now(connection.peer, graceful);
    }
}

// The first connection to speak while the host has no peer becomes its peer.
void EnetTransport::hear(ENetPeer* from, std::vector<uint8_t> bytes, std::vector<LinkEvent>& events) {
    if (from != peer_) {
        if (std::none_of(unheard_.begin(), unheard_.end(), [from](const Unheard& u) { return u.peer == from; })) return;
        forget(from);
        if (peer_ != nullptr) {
            turnAway(from);
            return;
        }
        peer_ = from;
        events.push_back({LinkEvent::Kind::Connected, {}});
    }
    events.push_back({LinkEvent::Kind::Received, std::move(bytes)});
}

void EnetTransport::turnAway(ENetPeer* peer) {
    if (!refusalForOthers_.empty()) sendTo(peer, refusalForOthers_, Delivery::Reliable);
    enet_peer_timeout(peer, 0, leavingTimeoutMs, leavingTimeoutMs);
    enet_peer_disconnect_later(peer, graceful);
}

void EnetTransport::forget(ENetPeer* peer) {
    std::erase_if(unheard_, [peer](const Unheard& u) { return u.peer == peer; });
}

void EnetTransport::disconnect() {
    if (peer_ == nullptr) return;
    enet_peer_timeout(peer_, 0, leavingTimeoutMs, leavingTimeoutMs);
    enet_peer_disconnect_later(peer_, graceful);
    enet_host_flush(host_);
    peer_ = nullptr;
}

uint16_t EnetTransport::port() const { return host_->address.port; }
