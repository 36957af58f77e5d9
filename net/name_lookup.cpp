// Name lookups on a thread.
#include "net/name_lookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <atomic>
#include <cstdlib>
#include <thread>

struct NameLookup::Shared {
    std::atomic<int> state{static_cast<int>(State::Looking)};
    std::atomic<uint32_t> ip{0};
};

namespace {

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

bool splitHostPort(const std::string& text, uint16_t defaultPort, std::string& host, uint16_t& port) {
    const size_t colon = text.rfind(':');
    host = text.substr(0, colon);
    port = defaultPort;
    if (colon != std::string::npos) {
        const std::string digits = text.substr(colon + 1);
        char* end = nullptr;
        const long number = std::strtol(digits.c_str(), &end, 10);
        if (digits.empty() || *end != '\0' || digits[0] < '0' || digits[0] > '9' || number < 1 || number > 65535)
            return false;
        port = static_cast<uint16_t>(number);
    }
    return !host.empty();
}

NameLookup::NameLookup(const std::string& host, uint16_t port) : host_(host) {
    address_.port = port;
    if (const std::optional<uint32_t> number = parseIpv4(host_)) {
        address_.ip = *number;
        state_ = State::Found;
        return;
    }
    // RFC 6761: nothing under .invalid ever resolves.
    if (endsWith(host_, ".invalid") || endsWith(host_, ".invalid.")) {
        state_ = State::Failed;
        return;
    }
    shared_ = std::make_shared<Shared>();
    std::thread([shared = shared_, host = host_] {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo* found = nullptr;
        if (getaddrinfo(host.c_str(), nullptr, &hints, &found) == 0 && found != nullptr) {
            shared->ip = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
            shared->state = static_cast<int>(State::Found);
        } else {
            shared->state = static_cast<int>(State::Failed);
        }
        if (found != nullptr) freeaddrinfo(found);
    }).detach();
}

NameLookup::~NameLookup() = default;

NameLookup::State NameLookup::poll() {
    if (state_ == State::Looking && shared_) {
        state_ = static_cast<State>(shared_->state.load());
        if (state_ == State::Found) address_.ip = shared_->ip;
    }
    return state_;
}
