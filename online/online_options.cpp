// Reading the online options' values.
#include "online/online_options.h"

#include <cerrno>
#include <cstdlib>

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

}  // namespace

std::optional<uint16_t> parsePort(const std::string& text) {
    const std::optional<long> port = wholeNumber(text, 0, 65535);
    if (!port) return std::nullopt;
    return static_cast<uint16_t>(*port);
}

bool parseJoinTarget(const std::string& text, OnlineOptions& options) {
    const std::size_t colon = text.rfind(':');
    const std::string address = text.substr(0, colon);
    std::optional<uint16_t> port = DefaultOnlinePort;
    if (colon != std::string::npos) port = parsePort(text.substr(colon + 1));
    if (address.empty() || !port || *port == 0) return false;
    options.role = OnlineRole::Join;
    options.address = address;
    options.port = *port;
    return true;
}

std::optional<int> parseInputDelay(const std::string& text) {
    const std::optional<long> delay = wholeNumber(text, 0, kMaxInputDelay);
    if (!delay) return std::nullopt;
    return static_cast<int>(*delay);
}
