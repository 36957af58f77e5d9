// Asking the system for this machine's addresses.
#include "net/local_address.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

std::optional<uint32_t> localAddressToward(const Endpoint& destination) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return std::nullopt;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(destination.ip);
    address.sin_port = htons(destination.port);
    socklen_t length = sizeof address;
    // Connecting a UDP socket only picks the route and the source address.
    const bool routed = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    close(fd);
    if (!routed) return std::nullopt;
    return ntohl(address.sin_addr.s_addr);
}

namespace {

// Each IPv4 interface that is up, with its address and (if it has one) broadcast address.
template <typename Visit>
void forEachInterface(Visit visit) {
    ifaddrs* interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0) return;
    for (const ifaddrs* i = interfaces; i != nullptr; i = i->ifa_next) {
        if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET || (i->ifa_flags & IFF_UP) == 0) continue;
        visit(*i);
    }
    freeifaddrs(interfaces);
}

uint32_t ipOf(const sockaddr* address) {
    return ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
}

}  // namespace

std::optional<uint32_t> firstLocalAddress() {
    std::optional<uint32_t> found;
    forEachInterface([&](const ifaddrs& i) {
        if (!found && (i.ifa_flags & IFF_LOOPBACK) == 0) found = ipOf(i.ifa_addr);
    });
    return found;
}

std::vector<uint32_t> broadcastAddresses() {
    std::vector<uint32_t> found;
    forEachInterface([&](const ifaddrs& i) {
        if ((i.ifa_flags & IFF_BROADCAST) != 0 && i.ifa_broadaddr != nullptr) found.push_back(ipOf(i.ifa_broadaddr));
    });
    return found;
}
