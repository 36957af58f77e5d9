// ENet's intercept hook, routed to the tap of each host.
#include "net/socket_tap.h"

#include <enet/enet.h>

#include <map>
#include <utility>

struct TapRegistry {
    // ENet's hook has no user data: each host's tap is found by the host.
    static std::map<ENetHost*, SocketTap*>& taps() {
        static std::map<ENetHost*, SocketTap*> registered;
        return registered;
    }

    static int ENET_CALLBACK intercept(ENetHost* host, ENetEvent*) {
        const auto found = taps().find(host);
        if (found == taps().end()) return 0;
        std::optional<LobbyMessage> message =
            decodeLobbyMessage(std::span<const uint8_t>(host->receivedData, host->receivedDataLength));
        if (!message) return 0;
        SocketTap& tap = *found->second;
        if (tap.held_.size() < SocketTap::kMaxHeld)
            tap.held_.push_back({{ENET_NET_TO_HOST_32(host->receivedAddress.host), host->receivedAddress.port},
                                 std::move(*message)});
        return 1;
    }
};

SocketTap::SocketTap(ENetHost* host) : host_(host) {
    TapRegistry::taps()[host] = this;
    host->intercept = TapRegistry::intercept;
}

SocketTap::~SocketTap() {
    host_->intercept = nullptr;
    TapRegistry::taps().erase(host_);
}

void SocketTap::send(const Endpoint& to, const LobbyMessage& message) {
    const std::vector<uint8_t> bytes = encodeLobbyMessage(message);
    ENetAddress address{};
    address.host = ENET_HOST_TO_NET_32(to.ip);
    address.port = to.port;
    ENetBuffer buffer{};
    buffer.data = const_cast<uint8_t*>(bytes.data());
    buffer.dataLength = bytes.size();
    enet_socket_send(host_->socket, &address, &buffer, 1);
}

std::vector<TappedMessage> SocketTap::take() { return std::exchange(held_, {}); }

uint16_t SocketTap::port() const { return host_->address.port; }
