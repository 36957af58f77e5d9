// The invite service under fuzzing. An input is a run of datagrams, each a byte naming
// its sender (one of four addresses), a 16-bit little-endian length and that many
// bytes; a zero length lets three seconds pass instead, so codes and pairings expire.
// Every datagram that decodes must encode back to the same bytes. All of them reach
// the service, which must never answer with more bytes than it was sent, nor send to
// anyone but the sender or a host that registered; and a relay between two of the
// senders, which forwards only between them. The seeds are an honest conversation:
// a registration, a lookup by its code, a relay request and both sides' hellos. An
// input is accepted when it is whole and the service answered it.

#include <cstdio>
#include <cstdlib>
#include <unordered_set>

#include "lobby/lobby_service.h"
#include "lobby/relay_session.h"
#include "tools/fuzz/fuzz_inputs.h"
#include "tools/fuzz/fuzz_seeds.h"

namespace {

using Datagram = std::vector<uint8_t>;

constexpr Endpoint senders[4] = {
    {0xC6336402, 40000}, {0xC6336403, 50000}, {0xC6336403, 50001}, {0x0A000001, 27615}};
constexpr double stepMs = 10;
constexpr double pauseMs = 3000;
constexpr uint16_t relayPort = 45000;

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "tumblebout fuzz: invariant broken: %s\n", what);
    std::abort();
}

struct Sent {
    uint8_t sender;
    Datagram bytes;  // empty: a pause
};

// A service whose random draws and relays are plain counters, so a recorded
// conversation plays out the same every time.
class FuzzedService {
public:
    FuzzedService()
        : service_(
              LobbyLimits{}, [this] { return ++draws_ * 0x9E3779B97F4A7C15ull; },
              [this](uint64_t token) -> std::optional<uint16_t> {
                  if (!relay_) relay_.emplace(token, nowMs_, RelayLimits{});
                  return relay_->token() == token ? std::optional<uint16_t>(relayPort) : std::nullopt;
              },
              [](const std::string&) {}) {}

    // Takes one datagram; what went out.
    std::vector<Outgoing> take(const Sent& sent) {
        std::vector<Outgoing> out;
        if (sent.bytes.empty()) {
            nowMs_ += pauseMs;
            service_.expire(nowMs_);
            return out;
        }
        nowMs_ += stepMs;
        const Endpoint& from = senders[sent.sender % 4];
        service_.receive(from, sent.bytes, nowMs_, out);
        if (std::holds_alternative<lobby::Register>(decodeLobbyMessage(sent.bytes).value_or(lobby::OtherVersion{})))
            registered_.insert(from);
        for (const Outgoing& o : out) {
            if (o.bytes.size() > sent.bytes.size()) broken("an answer larger than its request");
            if (o.to != from && registered_.count(o.to) == 0) broken("a datagram to a stranger");
        }
        if (relay_) {
            const std::optional<Endpoint> to = relay_->route(from, sent.bytes, nowMs_);
            if (to && (*to == from || std::find(std::begin(senders), std::end(senders), *to) == std::end(senders)))
                broken("the relay forwarded somewhere else than the other side");
        }
        return out;
    }

private:
    uint64_t draws_ = 0;
    double nowMs_ = 0;
    std::optional<RelaySession> relay_;
    std::unordered_set<Endpoint> registered_;
    LobbyService service_;
};

std::vector<unsigned char> frame(const std::vector<Sent>& conversation) {
    std::vector<unsigned char> bytes;
    for (const Sent& sent : conversation) {
        bytes.push_back(sent.sender);
        bytes.push_back(static_cast<unsigned char>(sent.bytes.size() & 0xFF));
        bytes.push_back(static_cast<unsigned char>(sent.bytes.size() >> 8));
        bytes.insert(bytes.end(), sent.bytes.begin(), sent.bytes.end());
    }
    return bytes;
}

// Plays `conversation` so far and returns the answers to its last datagram.
std::vector<Outgoing> answersTo(const std::vector<Sent>& conversation) {
    FuzzedService service;
    std::vector<Outgoing> last;
    for (const Sent& sent : conversation) last = service.take(sent);
    return last;
}

template <typename M>
M answer(const std::vector<Sent>& conversation) {
    for (const Outgoing& out : answersTo(conversation))
        if (const std::optional<LobbyMessage> m = decodeLobbyMessage(out.bytes); m && std::holds_alternative<M>(*m))
            return std::get<M>(*m);
    return M{};
}

}  // namespace

bool feedLobbyMessages(const uint8_t* data, size_t size) {
    std::vector<Sent> conversation;
    size_t at = 0;
    while (at + 3 <= size) {
        const uint8_t sender = data[at];
        const size_t length = data[at + 1] | static_cast<size_t>(data[at + 2]) << 8;
        at += 3;
        if (length > size - at) break;
        Sent sent{sender, Datagram(data + at, data + at + length)};
        at += length;
        const std::optional<LobbyMessage> message = decodeLobbyMessage(sent.bytes);
        if (message && !std::holds_alternative<lobby::OtherVersion>(*message) && encodeLobbyMessage(*message) != sent.bytes)
            broken("a message that does not encode back to its bytes");
        conversation.push_back(std::move(sent));
    }
    FuzzedService service;
    size_t answers = 0;
    for (const Sent& sent : conversation) answers += service.take(sent).size();
    return at == size && answers > 0;
}

std::vector<FuzzSeed> makeLobbySeeds() {
    const Endpoint hostPrivate{0x0A000002, 27615};
    std::vector<Sent> talk = {{0, encodeLobbyMessage(lobby::Register{77, hostPrivate})}};
    const InviteCode code = answer<lobby::Registered>(talk).code;
    talk.push_back({1, encodeLobbyMessage(lobby::Lookup{5, code, {0x0A000003, 27615}})});
    const uint64_t token = answer<lobby::Introduction>(talk).token;
    std::vector<Sent> relayed = talk;
    relayed.push_back({1, encodeLobbyMessage(lobby::RelayRequest{token})});
    relayed.push_back({0, encodeLobbyMessage(lobby::RelayHello{token, lobby::RelaySide::Host})});
    relayed.push_back({1, encodeLobbyMessage(lobby::RelayHello{token, lobby::RelaySide::Joiner})});
    relayed.push_back({0, Datagram(40, 0x5A)});  // the match's first datagram, forwarded
    relayed.push_back({0, encodeLobbyMessage(lobby::Close{77, lobby::CloseReason::MatchStarted})});
    std::vector<Sent> expired = talk;
    expired.push_back({0, {}});
    expired.push_back({0, {}});
    expired.push_back({2, encodeLobbyMessage(lobby::Lookup{6, code, {}})});
    expired.push_back({3, encodeLobbyMessage(lobby::Punch{token, false, 1})});
    return {{"relayed", frame(relayed)}, {"expired", frame(expired)}};
}
