#pragma once
// Reaching the other machine from the command line: hosting or joining (net/hosting.h,
// net/joining.h) polled until the link is made, the wait shown in between.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/hosting.h"
#include "net/joining.h"
#include "online/online_options.h"

using OnlineLink = PeerLink;

// What the wait shows: the host's status or the joiner's, whichever side this is.
struct LinkProgress {
    const HostingStatus* hosting = nullptr;
    const JoinStatus* joining = nullptr;
};

struct LinkResult {
    std::unique_ptr<OnlineLink> link;  // null when none was made
    std::string error;                 // one line why, unless cancelled
    bool cancelled = false;            // `waiting` said to stop
    std::string made;                  // how it was made, a line for the terminal
};

// The host's settings of the game, for a host of `options` sending `settings`.
HostingConfig hostingConfig(const OnlineOptions& options, std::vector<uint8_t> settings);
// The joiner's, for `options`.
JoinConfig joinConfig(const OnlineOptions& options);

// Hosts (waiting for one opponent, who is sent `settings`) or joins, as `options` say,
// with the invite service options.lobby. `waiting` runs between polls; returning false
// gives up. A joiner gives up by itself when the host cannot be reached or refuses.
// A join that succeeds is remembered (online/last_join.h).
LinkResult connectOnline(const OnlineOptions& options, const Impairment& impairment, std::vector<uint8_t> settings,
                         const std::function<bool(const LinkProgress&)>& waiting);

// "WAITING FOR AN OPPONENT ON PORT 27615"
std::string waitingMessage(uint16_t port);
// "INVITE CODE HXK4-MW7P"
std::string inviteMessage(const std::string& code);
// The host's wait: its invite code, once it has one, and the waiting message.
std::string hostingMessage(const HostingStatus& status);
// The lines a host's wait says on the terminal, each once: its port, its invite code
// as soon as it has one, and why the invite service or the LAN search cannot be used.
class HostingLines {
public:
    // The lines not said yet.
    std::vector<std::string> fresh(const HostingStatus& status);

private:
    std::string port_, code_, service_, lan_;  // as last said
};

// "CONNECTED DIRECTLY TO 192.0.2.7:27615 (ROUND TRIP 42 MS)", or "... THROUGH THE RELAY ..."
std::string connectedMessage(const JoinStatus& status);
