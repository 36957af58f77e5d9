// POSIX UDP sockets.
#include "lobby/udp_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

sockaddr_in toSockaddr(const Endpoint& endpoint) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(endpoint.ip);
    address.sin_port = htons(endpoint.port);
    return address;
}

}  // namespace

UdpSocket::UdpSocket(uint16_t port, UdpOptions options) {
    fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return;
    const int on = 1;
    if (options.shared) setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (options.broadcast) setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    sockaddr_in address = toSockaddr({INADDR_ANY, port});
    socklen_t length = sizeof address;
    if (bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(fd_);
        fd_ = -1;
        return;
    }
    port_ = ntohs(address.sin_port);
}

UdpSocket::~UdpSocket() {
    if (fd_ >= 0) close(fd_);
}

std::optional<UdpSocket::Received> UdpSocket::receive(std::span<uint8_t> buffer) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    const ssize_t size =
        recvfrom(fd_, buffer.data(), buffer.size(), MSG_TRUNC, reinterpret_cast<sockaddr*>(&address), &length);
    if (size < 0) return std::nullopt;
    Received received;
    received.from = {ntohl(address.sin_addr.s_addr), ntohs(address.sin_port)};
    received.size = static_cast<size_t>(size) <= buffer.size() ? static_cast<size_t>(size) : 0;
    return received;
}

void UdpSocket::send(const Endpoint& to, std::span<const uint8_t> bytes) {
    const sockaddr_in address = toSockaddr(to);
    sendto(fd_, bytes.data(), bytes.size(), MSG_DONTWAIT, reinterpret_cast<const sockaddr*>(&address), sizeof address);
}
