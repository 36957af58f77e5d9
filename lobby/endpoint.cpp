// Endpoints as text.
#include "lobby/endpoint.h"

#include <arpa/inet.h>

std::string toString(const Endpoint& endpoint) {
    in_addr address{htonl(endpoint.ip)};
    char text[INET_ADDRSTRLEN] = "";
    inet_ntop(AF_INET, &address, text, sizeof text);
    return std::string(text) + ":" + std::to_string(endpoint.port);
}

std::optional<uint32_t> parseIpv4(const std::string& text) {
    in_addr address{};
    if (inet_pton(AF_INET, text.c_str(), &address) != 1) return std::nullopt;
    return ntohl(address.s_addr);
}
