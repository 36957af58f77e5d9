#pragma once
// Turning a host's name into an address without stopping the frame: a dotted number
// is read at once, a name is looked up on a thread of its own, and poll() says when it
// is done. Names under .invalid (the placeholder of a build with no public invite service)
// fail at once, without asking any name server.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "lobby/endpoint.h"

class NameLookup {
public:
    NameLookup(const std::string& host, uint16_t port);
    ~NameLookup();

    enum class State : uint8_t { Looking, Found, Failed };
    State poll();
    // Found: the address.
    const Endpoint& address() const { return address_; }
    // The host part as given, for messages.
    const std::string& host() const { return host_; }

private:
    struct Shared;

    std::string host_;
    Endpoint address_;
    State state_ = State::Looking;
    std::shared_ptr<Shared> shared_;  // with the lookup thread, which may outlive this
};

// "HOST" and "HOST:PORT" split; false when the port is not 1 to 65535 or the host is empty.
bool splitHostPort(const std::string& text, uint16_t defaultPort, std::string& host, uint16_t& port);
