// Reading the online options' values.
#include "online/online_options.h"

#include <cerrno>
#include <cstdlib>

#include "net/name_lookup.h"
#include "net/protocol.h"

namespace {

std::optional<long> wholeNumber(const std::string& text, long minimum, long maximum) {
    if (text.empty() || text[0] < '0' || text[0] > '9') return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < minimum || value > maximum) return std::nullopt;
    return value;
}

bool isLan(const std::string& text) { return text == "lan" || text == "LAN"; }

}  // namespace

std::optional<uint16_t> parsePort(const std::string& text) {
    const std::optional<long> port = wholeNumber(text, 0, 65535);
    if (!port) return std::nullopt;
    return static_cast<uint16_t>(*port);
}

bool parseJoinTarget(const std::string& text, OnlineOptions& options) {
    OnlineOptions join = options;
    join.role = OnlineRole::Join;
    join.lan = isLan(text);
    join.inviteCode = parseInviteCode(text);
    if (!join.lan && !join.inviteCode && !splitHostPort(text, DefaultOnlinePort, join.address, join.port)) return false;
    options = join;
    return true;
}

std::optional<int> parseInputDelay(const std::string& text) {
    const std::optional<long> delay = wholeNumber(text, 0, kMaxInputDelay);
    if (!delay) return std::nullopt;
    return static_cast<int>(*delay);
}

OnlineOptions withGameDefaults(OnlineOptions options) {
    const char* environment = std::getenv("TUMBLEBOUT_LOBBY");
    if (options.lobby.empty() && environment != nullptr) options.lobby = environment;
    if (options.lobby.empty()) options.lobby = TUMBLEBOUT_DEFAULT_LOBBY;
    if (options.role == OnlineRole::Host) options.lan = true;
    return options;
}

std::string joinTargetText(const OnlineOptions& options) {
    if (options.inviteCode) return toString(*options.inviteCode);
    if (options.lan) return "lan";
    return options.address + ":" + std::to_string(options.port);
}
