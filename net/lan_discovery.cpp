// Searching the local network for hosted games, and answering such searches.
#include "net/lan_discovery.h"

#include <unistd.h>

#include <algorithm>
#include <array>

#include "lobby/random_bits.h"
#include "net/local_address.h"

namespace {

constexpr double askIntervalMs = 1000;
constexpr double forgetAfterMs = 3500;  // three searches unanswered: the game is gone
constexpr int maxDatagramsPerPoll = 64;
constexpr size_t maxGames = 32;
constexpr uint32_t loopback = 0x7F000001;

// The next datagram on the socket, with its source, if it is a lobby message; nothing
// once none is waiting.
struct Received {
    bool any = false;
    std::optional<TappedMessage> message;
};
Received receiveMessage(UdpSocket& socket) {
    std::array<uint8_t, 256> buffer;
    const std::optional<UdpSocket::Received> received = socket.receive(buffer);
    if (!received) return {};
    std::optional<LobbyMessage> message = decodeLobbyMessage(std::span(buffer.data(), received->size));
    if (!message) return {true, std::nullopt};
    return {true, TappedMessage{received->from, std::move(*message)}};
}

}  // namespace

std::string lanHostName() {
    char name[256] = "";
    gethostname(name, sizeof name - 1);
    std::string printable;
    for (const char* c = name; *c != '\0' && printable.size() < kLanNameBytes; ++c)
        if (*c >= 0x20 && *c <= 0x7E) printable += *c;
    return printable;
}

// ---- Host ------------------------------------------------------------------------------

std::unique_ptr<LanAnswerer> LanAnswerer::open(uint16_t gamePort, uint8_t kind, uint64_t build, std::string& error) {
    auto socket = std::make_unique<UdpSocket>(kLanDiscoveryPort, UdpOptions{true, false});
    if (!socket->valid()) {
        error = "cannot answer LAN searches on port " + std::to_string(kLanDiscoveryPort);
        return nullptr;
    }
    return std::unique_ptr<LanAnswerer>(
        new LanAnswerer(std::move(socket), lobby::LanAnswer{0, gamePort, kind, build, lanHostName()}));
}

LanAnswerer::LanAnswerer(std::unique_ptr<UdpSocket> socket, lobby::LanAnswer answer)
    : socket_(std::move(socket)), answer_(std::move(answer)) {}

LanAnswerer::~LanAnswerer() = default;

void LanAnswerer::poll() {
    for (int n = 0; n < maxDatagramsPerPoll; ++n) {
        const Received received = receiveMessage(*socket_);
        if (!received.any) return;
        const auto* query = received.message ? std::get_if<lobby::LanQuery>(&received.message->message) : nullptr;
        if (query == nullptr) continue;
        answer_.nonce = query->nonce;
        socket_->send(received.message->from, encodeLobbyMessage(answer_));
    }
}

// ---- Joiner ----------------------------------------------------------------------------

std::unique_ptr<LanSearch> LanSearch::open(uint64_t build, std::string& error) {
    auto socket = std::make_unique<UdpSocket>(0, UdpOptions{false, true});
    if (!socket->valid()) {
        error = "cannot open a socket to search the LAN";
        return nullptr;
    }
    return std::unique_ptr<LanSearch>(new LanSearch(std::move(socket), build));
}

LanSearch::LanSearch(std::unique_ptr<UdpSocket> socket, uint64_t build)
    : socket_(std::move(socket)), build_(build), nonce_(randomBits()) {}

LanSearch::~LanSearch() = default;

void LanSearch::poll(double nowMs) {
    if (nowMs - lastAskedMs_ >= askIntervalMs) {
        lastAskedMs_ = nowMs;
        const std::vector<uint8_t> query = encodeLobbyMessage(lobby::LanQuery{nonce_});
        std::vector<uint32_t> targets = broadcastAddresses();
        targets.push_back(loopback);  // a game hosted on this machine
        for (const uint32_t target : targets) socket_->send({target, kLanDiscoveryPort}, query);
    }
    for (int n = 0; n < maxDatagramsPerPoll; ++n) {
        const Received received = receiveMessage(*socket_);
        if (!received.any) break;
        const auto* answer = received.message ? std::get_if<lobby::LanAnswer>(&received.message->message) : nullptr;
        if (answer == nullptr || answer->nonce != nonce_ || answer->gamePort == 0) continue;
        const Endpoint address{received.message->from.ip, answer->gamePort};
        auto known = std::find_if(games_.begin(), games_.end(), [&](const LanGame& g) { return g.address == address; });
        if (known == games_.end()) {
            if (games_.size() >= maxGames) continue;
            LanGame game;
            game.address = address;
            known = games_.insert(games_.end(), game);
        }
        known->kind = answer->kind;
        known->sameBuild = answer->build == build_;
        known->name = answer->name;
        known->lastSeenMs = nowMs;
    }
    std::erase_if(games_, [&](const LanGame& game) { return nowMs - game.lastSeenMs > forgetAfterMs; });
}
