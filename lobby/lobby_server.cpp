// The service's event loop.
#include "lobby/lobby_server.h"

#include <sys/epoll.h>
#include <unistd.h>

#include <array>
#include <chrono>

#include "lobby/random_bits.h"

namespace {

constexpr double sweepIntervalMs = 250;
constexpr int maxEventsPerWait = 256;
// Per socket and wake, so a flood on one port cannot starve the others.
constexpr int maxDatagramsPerRead = 64;
constexpr size_t mainBufferBytes = 512;     // every lobby message is far smaller
constexpr size_t relayBufferBytes = 2048;   // ENet's datagrams stay under the MTU

}  // namespace

double monotonicMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

LobbyServer::LobbyServer(const LobbyServerConfig& config, Log log)
    : config_(config),
      log_(std::move(log)),
      socket_(config.port),
      service_(
          config.limits, randomBits, [this](uint64_t token) { return openRelay(token); },
          [this](const std::string& line) { log_(line); }) {}

std::unique_ptr<LobbyServer> LobbyServer::open(const LobbyServerConfig& config, Log log, std::string& error) {
    std::unique_ptr<LobbyServer> server(new LobbyServer(config, std::move(log)));
    if (!server->socket_.valid()) {
        error = "cannot listen on UDP port " + std::to_string(config.port);
        return nullptr;
    }
    server->epoll_ = epoll_create1(EPOLL_CLOEXEC);
    if (server->epoll_ < 0) {
        error = "cannot wait on sockets (epoll)";
        return nullptr;
    }
    server->watch(server->socket_.fd());
    server->lastSweepMs_ = monotonicMs();
    return server;
}

LobbyServer::~LobbyServer() {
    const double nowMs = monotonicMs();
    for (const auto& [fd, relay] : relays_) log_(relay.session.summary(relay.socket->port(), nowMs));
    if (epoll_ >= 0) close(epoll_);
}

void LobbyServer::watch(int fd) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event);
}

void LobbyServer::serve(int waitMs) {
    std::array<epoll_event, maxEventsPerWait> events;
    const int ready = epoll_wait(epoll_, events.data(), maxEventsPerWait, waitMs);
    const double nowMs = monotonicMs();
    for (int i = 0; i < ready; ++i) {
        const int fd = events[static_cast<size_t>(i)].data.fd;
        if (fd == socket_.fd()) {
            readMain(nowMs);
        } else if (const auto relay = relays_.find(fd); relay != relays_.end()) {
            readRelay(relay->second, nowMs);
        }
    }
    if (nowMs - lastSweepMs_ >= sweepIntervalMs) sweep(nowMs);
}

void LobbyServer::readMain(double nowMs) {
    std::array<uint8_t, mainBufferBytes> buffer;
    for (int n = 0; n < maxDatagramsPerRead; ++n) {
        const std::optional<UdpSocket::Received> received = socket_.receive(buffer);
        if (!received) break;
        outgoing_.clear();
        service_.receive(received->from, std::span(buffer.data(), received->size), nowMs, outgoing_);
        for (const Outgoing& out : outgoing_) socket_.send(out.to, out.bytes);
    }
}

void LobbyServer::readRelay(Relay& relay, double nowMs) {
    std::array<uint8_t, relayBufferBytes> buffer;
    for (int n = 0; n < maxDatagramsPerRead; ++n) {
        const std::optional<UdpSocket::Received> received = relay.socket->receive(buffer);
        if (!received) break;
        const std::span<const uint8_t> bytes(buffer.data(), received->size);
        if (const std::optional<Endpoint> to = relay.session.route(received->from, bytes, nowMs))
            relay.socket->send(*to, bytes);
    }
}

std::optional<uint16_t> LobbyServer::openRelay(uint64_t token) {
    if (const auto open = relaysByToken_.find(token); open != relaysByToken_.end())
        return relays_.at(open->second).socket->port();
    if (relays_.size() >= config_.maxRelays) return std::nullopt;
    auto socket = std::make_unique<UdpSocket>(0);
    if (!socket->valid()) return std::nullopt;
    const int fd = socket->fd();
    const uint16_t port = socket->port();
    watch(fd);
    relays_.emplace(fd, Relay{std::move(socket), RelaySession(token, monotonicMs(), config_.relay)});
    relaysByToken_.emplace(token, fd);
    return port;
}

void LobbyServer::sweep(double nowMs) {
    lastSweepMs_ = nowMs;
    service_.expire(nowMs);
    for (auto relay = relays_.begin(); relay != relays_.end();) {
        if (!relay->second.session.expired(nowMs)) {
            ++relay;
            continue;
        }
        log_(relay->second.session.summary(relay->second.socket->port(), nowMs));
        relaysByToken_.erase(relay->second.session.token());
        // Closing the socket takes it out of the epoll set too.
        relay = relays_.erase(relay);
    }
}
