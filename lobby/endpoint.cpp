// Endpoints as text.
#include "lobby/endpoint.h"

#include <arpa/inet.h>

std::string ipText(uint32_t ip) {
    in_addr address{htonl(ip)};
    char text[INET_ADDRSTRLEN] = "";
    inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

std::string toString(const Endpoint& endpoint) { return ipText(endpoint.ip) + ":" + std::to_string(endpoint.port); }

std::optional<uint32_t> parseIpv4(const std::string& text) {
    in_addr address{};
    if (inet_pton(AF_INET, text.c_str(), &address) != 1) return std::nullopt;
    return ntohl(address.s_addr);
}
