#pragma once
// The invite service on its sockets: the main port speaks the lobby's messages, and
// each relay listens on a port of its own that the system picks, so one --port runs
// the whole service. One thread waits on all of them (epoll) and sweeps the tables a
// few times a second. The log gets one line when it starts, and one per code and per
// relay when it ends.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "lobby/lobby_service.h"
#include "lobby/relay_session.h"
#include "lobby/udp_socket.h"

struct LobbyServerConfig {
    uint16_t port = kDefaultLobbyPort;
    LobbyLimits limits;
    RelayLimits relay;
    size_t maxRelays = 1000;  // each holds a socket
};

class LobbyServer {
public:
    using Log = std::function<void(const std::string& line)>;

    // Null, with `error` set, if the port cannot be had.
    static std::unique_ptr<LobbyServer> open(const LobbyServerConfig& config, Log log, std::string& error);
    // Each relay still open logs its line.
    ~LobbyServer();

    // Waits up to `waitMs` for datagrams and handles what came, then sweeps if due.
    void serve(int waitMs);
    uint16_t port() const { return socket_.port(); }
    size_t relayCount() const { return relays_.size(); }

private:
    struct Relay {
        std::unique_ptr<UdpSocket> socket;
        RelaySession session;
    };

    LobbyServer(const LobbyServerConfig& config, Log log);
    std::optional<uint16_t> openRelay(uint64_t token);
    void readMain(double nowMs);
    void readRelay(Relay& relay, double nowMs);
    void sweep(double nowMs);
    void watch(int fd);

    LobbyServerConfig config_;
    Log log_;
    UdpSocket socket_;
    int epoll_ = -1;
    LobbyService service_;
    std::unordered_map<int, Relay> relays_;           // by socket
    std::unordered_map<uint64_t, int> relaysByToken_;
    std::vector<Outgoing> outgoing_;
    double lastSweepMs_ = 0;
};

// Milliseconds of the monotonic clock.
double monotonicMs();
