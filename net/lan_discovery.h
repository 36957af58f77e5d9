#pragma once
// Games hosted on the local network: a host answers searches on kLanDiscoveryPort (the
// port is shared, so several hosts on one machine all answer), and a search asks every
// broadcast address of this machine's interfaces, and this machine itself, once a
// second. Answers name the game's port, what is hosted, the host's build and its name;
// the game's address is where the answer came from. Both sides poll each frame.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lobby/lobby_messages.h"
#include "lobby/udp_socket.h"
#include "net/socket_tap.h"

struct LanGame {
    Endpoint address;      // where to connect: the host's address and game port
    uint8_t kind = 0;      // what is hosted, the game's own number
    bool sameBuild = false;  // a game of another build cannot be joined
    std::string name;      // the host machine's name
    double lastSeenMs = 0;
};

// A host's answers to searches.
class LanAnswerer {
public:
    // Null, with `error` set, if the discovery port cannot be had.
    static std::unique_ptr<LanAnswerer> open(uint16_t gamePort, uint8_t kind, uint64_t build, std::string& error);
    ~LanAnswerer();

    // Answers the searches that came since the last poll.
    void poll();

private:
    LanAnswerer(std::unique_ptr<UdpSocket> socket, lobby::LanAnswer answer);

    std::unique_ptr<UdpSocket> socket_;
    lobby::LanAnswer answer_;
};

// A joiner's search.
class LanSearch {
public:
    static std::unique_ptr<LanSearch> open(uint64_t build, std::string& error);
    ~LanSearch();

    // Asks again when due and takes the answers.
    void poll(double nowMs);
    // The games that answered within the last few seconds, in the order first found.
    const std::vector<LanGame>& games() const { return games_; }

private:
    LanSearch(std::unique_ptr<UdpSocket> socket, uint64_t build);

    std::unique_ptr<UdpSocket> socket_;
    uint64_t build_;
    uint64_t nonce_;
    double lastAskedMs_ = -1e18;
    std::vector<LanGame> games_;
};

// This machine's name as a LAN answer carries it: printable, at most kLanNameBytes.
std::string lanHostName();
