#pragma once
// This machine's own IPv4 addresses: the one it would reach a given address from (the
// private address a host or joiner reports to the invite service), and the one to show
// players on the same network.

#include <cstdint>
#include <optional>
#include <vector>

#include "lobby/endpoint.h"

// The address of the interface the system would send to `destination` from; nothing
// if there is no route. No datagram is sent.
std::optional<uint32_t> localAddressToward(const Endpoint& destination);
// The first address of an interface that is up and not the loopback; nothing if none.
std::optional<uint32_t> firstLocalAddress();
// The broadcast address of every interface that is up and has one.
std::vector<uint32_t> broadcastAddresses();
