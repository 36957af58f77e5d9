#pragma once
// An IPv4 address and UDP port, as the invite service and the game's sockets speak
// them. ENet 1.3 knows only IPv4, so the whole path (lobby, punching, relay) does too.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

struct Endpoint {
    uint32_t ip = 0;    // host byte order: 127.0.0.1 is 0x7F000001
    uint16_t port = 0;

    bool operator==(const Endpoint&) const = default;
};

// "192.0.2.7:27615"
std::string toString(const Endpoint& endpoint);
// "192.0.2.7"
std::string ipText(uint32_t ip);
// "192.0.2.7" (dotted numbers only; names are resolved elsewhere)
std::optional<uint32_t> parseIpv4(const std::string& text);

template <>
struct std::hash<Endpoint> {
    size_t operator()(const Endpoint& e) const noexcept {
        return std::hash<uint64_t>{}(static_cast<uint64_t>(e.ip) << 16 | e.port);
    }
};
