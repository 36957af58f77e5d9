// Waiting for an opponent.
#include "net/hosting.h"

#include <enet/enet.h>

#include "net/input_delay_rule.h"
#include "net/local_address.h"

namespace {

// The address of the peer ENet is connecting or connected to, if any.
std::optional<Endpoint> peerAddress(const ENetHost& host) {
    for (size_t i = 0; i < host.peerCount; ++i) {
        const ENetPeer& peer = host.peers[i];
        if (peer.state != ENET_PEER_STATE_DISCONNECTED)
            return Endpoint{ENET_NET_TO_HOST_32(peer.address.host), peer.address.port};
    }
    return std::nullopt;
}

}  // namespace

Hosting::Hosting(HostingConfig config) : config_(std::move(config)) {}

std::unique_ptr<Hosting> Hosting::start(HostingConfig config, double nowMs, std::string& error) {
    std::unique_ptr<Hosting> hosting(new Hosting(std::move(config)));
    const HostingConfig& c = hosting->config_;
    PeerLink& link = hosting->link_;
    link.enet = EnetTransport::host(c.bindAddress, c.port, sessionFullRefusal(), error);
    if (!link.enet) return nullptr;
    link.impair(c.impairment);
    hosting->handshake_.emplace(link.transport(), c.fingerprint, c.settings, c.inputDelay);
    HostingStatus& status = hosting->status_;
    status.port = link.enet->port();
    status.inputDelay = c.inputDelay;
    const std::optional<uint32_t> local = c.bindAddress.empty() ? firstLocalAddress() : parseIpv4(c.bindAddress);
    if (local) status.localAddress = toString(Endpoint{*local, status.port});
    if (c.answerLan) hosting->lan_ = LanAnswerer::open(status.port, c.lanKind, c.fingerprint, status.lanLine);
    if (!c.service.empty()) {
        std::string host;
        uint16_t port = 0;
        if (splitHostPort(c.service, kDefaultLobbyPort, host, port)) {
            hosting->serviceName_.emplace(host, port);
            status.service = ServiceState::Asking;
        } else {
            status.service = ServiceState::Unreachable;
            status.serviceLine = "not an invite service address: " + c.service;
        }
    }
    hosting->poll(nowMs);
    return hosting;
}

Hosting::~Hosting() {
    if (invite_ && !status_.opponentJoined) invite_->close(lobby::CloseReason::Cancelled);
}

const HostingStatus& Hosting::poll(double nowMs) {
    if (status_.opponentJoined) return status_;
    pollService(nowMs);
    if (!config_.inputDelayFixed) followRoundTrip();
    if (handshake_->poll(nowMs) == HandshakeState::Ready) {
        status_.opponentJoined = true;
        if (invite_) invite_->close(lobby::CloseReason::MatchStarted);
    }
    status_.lastRefusal = handshake_->lastRefusal();
    status_.inputDelay = handshake_->inputDelay();
    if (lan_) lan_->poll();
    return status_;
}

void Hosting::pollService(double nowMs) {
    if (serviceName_ && !invite_) {
        const NameLookup::State state = serviceName_->poll();
        if (state == NameLookup::State::Found) {
            invite_.emplace(link_.enet->enetHost(), serviceName_->address(), nowMs);
        } else if (state == NameLookup::State::Failed) {
            status_.service = ServiceState::Unreachable;
            status_.serviceLine = "the invite service " + config_.service + " cannot be found";
            serviceName_.reset();
        }
    }
    if (!invite_) return;
    invite_->poll(nowMs);
    const std::string where = toString(serviceName_->address());
    switch (invite_->state()) {
        case InviteHostState::Registering:
            break;
        case InviteHostState::Registered:
            status_.service = ServiceState::Registered;
            status_.inviteCode = toString(*invite_->code());
            status_.serviceLine.clear();
            break;
        case InviteHostState::Unreachable:
            status_.service = ServiceState::Unreachable;
            status_.serviceLine = "the invite service at " + where + " cannot be reached";
            break;
        case InviteHostState::OtherVersion:
            status_.service = ServiceState::OtherVersion;
            status_.serviceLine = "the invite service at " + where + " speaks another version";
            break;
    }
}

void Hosting::followRoundTrip() {
    if (!invite_) return;
    const std::optional<Endpoint> peer = peerAddress(*link_.enet->enetHost());
    if (!peer) return;
    status_.roundTripMs = invite_->roundTripTo(*peer);
    if (status_.roundTripMs) handshake_->setInputDelay(inputDelayForRoundTrip(*status_.roundTripMs));
}

PeerLink Hosting::takeLink() {
    invite_.reset();
    handshake_.reset();
    link_.inputDelay = status_.inputDelay;
    link_.settings = config_.settings;
    return std::move(link_);
}
