// tumblebout-lobby-bench [SESSIONS...]: how much the invite service does on one core.
// The service runs on a thread of its own, on the loopback interface, and clients on
// this thread talk to it through real UDP sockets, with the service's rate limits
// lifted (they would stop one address long before the service is busy):
//   1. registrations a second: each from a fresh secret, so each makes a code;
//   2. lookups a second: each of a live code, so each answers both sides;
//   3. relayed sessions: for each count given (default 100, 400 and 1600), that many
//      matches introduced and relayed as the game does it, each side sending a 72-byte
//      datagram 60 times a second (about 4.3 KB/s each way, a match's real traffic)
//      for five seconds; what arrived, and the service thread's CPU time per datagram,
//      from which the sessions one core carries follow (while nothing is lost: an
//      overloaded service spends time on datagrams it then drops).
// The service thread's CPU time is its own (CLOCK_THREAD_CPUTIME_ID): the clients'
// work on the other core does not count.
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <thread>
#include <vector>

#include "lobby/lobby_server.h"

namespace {

constexpr uint32_t loopback = 0x7F000001;
constexpr size_t window = 256;      // requests in flight at once
constexpr int requestCount = 100000;
constexpr int relaySeconds = 5;
constexpr int datagramsPerSecond = 60;
constexpr size_t datagramBytes = 72;

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

// The service on its own thread; it keeps the thread's CPU time when asked.
class ServiceThread {
public:
    ServiceThread() {
        LobbyServerConfig config;
        config.port = 0;
        config.limits.registrations = {1e12, 1e12};
        config.limits.lookups = {1e12, 1e12};
        config.limits.maxHosts = config.limits.maxPairings = 1000000;
        config.maxRelays = 5000;
        std::string error;
        server_ = LobbyServer::open(config, [](const std::string&) {}, error);
        if (!server_) {
            std::fprintf(stderr, "tumblebout-lobby-bench: %s\n", error.c_str());
            std::exit(1);
        }
        thread_ = std::thread([this] {
            while (!stop_) {
                server_->serve(5);
                cpuMs_ = threadCpuMs();
            }
        });
    }
    ~ServiceThread() {
        stop_ = true;
        thread_.join();
    }
    Endpoint address() const { return {loopback, server_->port()}; }
    double cpuMs() const { return cpuMs_; }

private:
    std::unique_ptr<LobbyServer> server_;
    std::atomic<bool> stop_{false};
    std::atomic<double> cpuMs_{0};
    std::thread thread_;
};

// Sends `make(i)` for i < count, at most `window` unanswered, and counts the answers
// that `counts` accepts; the requests answered a second.
template <typename Make, typename Counts>
double requestsPerSecond(const ServiceThread& service, UdpSocket& socket, int count, Make make, Counts counts) {
    std::vector<uint8_t> buffer(512);
    int sent = 0, answered = 0;
    const double start = monotonicMs();
    double lastAnswerMs = start;
    while (answered < count && monotonicMs() - lastAnswerMs < 1000) {
        while (sent < count && static_cast<size_t>(sent - answered) < window) socket.send(service.address(), make(sent++));
        while (const std::optional<UdpSocket::Received> received = socket.receive(buffer)) {
            if (counts(std::span<const uint8_t>(buffer.data(), received->size))) {
                ++answered;
                lastAnswerMs = monotonicMs();
            }
        }
    }
    return answered / ((lastAnswerMs - start) / 1000);
}

template <typename M>
bool is(std::span<const uint8_t> bytes) {
    const std::optional<LobbyMessage> message = decodeLobbyMessage(bytes);
    return message && std::holds_alternative<M>(*message);
}

// One relayed match: its two sides' sockets and where the relay listens.
struct Session {
    std::unique_ptr<UdpSocket> sides[2];
    Endpoint relay;
};

// Sends `message` until an answer of type M comes (an answer to an earlier copy of
// another request may come first, and is passed over).
template <typename M>
M ask(const ServiceThread& service, UdpSocket& socket, const LobbyMessage& message) {
    std::vector<uint8_t> buffer(512);
    for (int attempt = 0; attempt < 100; ++attempt) {
        socket.send(service.address(), encodeLobbyMessage(message));
        for (const double sentMs = monotonicMs(); monotonicMs() - sentMs < 20;) {
            const std::optional<UdpSocket::Received> received = socket.receive(buffer);
            if (!received) continue;
            const std::span<const uint8_t> bytes(buffer.data(), received->size);
            if (is<M>(bytes)) return std::get<M>(*decodeLobbyMessage(bytes));
        }
    }
    std::fprintf(stderr, "tumblebout-lobby-bench: the service does not answer\n");
    std::exit(1);
}

// Sets up `count` relayed sessions through the service, as the game does.
std::vector<Session> relayedSessions(const ServiceThread& service, int count) {
    std::vector<Session> sessions;
    std::vector<uint8_t> buffer(512);
    for (int i = 0; i < count; ++i) {
        Session session;
        session.sides[0] = std::make_unique<UdpSocket>(0);
        session.sides[1] = std::make_unique<UdpSocket>(0);
        UdpSocket& host = *session.sides[0];
        UdpSocket& joiner = *session.sides[1];
        const InviteCode code =
            ask<lobby::Registered>(service, host, lobby::Register{static_cast<uint64_t>(i + 1) << 20, {}}).code;
        const uint64_t token =
            ask<lobby::Introduction>(service, joiner, lobby::Lookup{static_cast<uint64_t>(i + 1), code, {}}).token;
        session.relay = {loopback, ask<lobby::RelayOffer>(service, joiner, lobby::RelayRequest{token}).port};
        host.send(session.relay, encodeLobbyMessage(lobby::RelayHello{token, lobby::RelaySide::Host}));
        joiner.send(session.relay, encodeLobbyMessage(lobby::RelayHello{token, lobby::RelaySide::Joiner}));
        for (UdpSocket* side : {&host, &joiner})
            while (side->receive(buffer)) {}  // the host's copies of the introduction and offer
        sessions.push_back(std::move(session));
    }
    return sessions;
}

// Reads every datagram waiting on the sockets that epoll says are ready; how many.
long drain(int epoll, std::vector<epoll_event>& events, int waitMs) {
    std::array<uint8_t, 2048> buffer;
    long count = 0;
    const int ready = epoll_wait(epoll, events.data(), static_cast<int>(events.size()), waitMs);
    for (int i = 0; i < ready; ++i)
        while (recv(events[static_cast<size_t>(i)].data.fd, buffer.data(), buffer.size(), MSG_DONTWAIT) > 0) ++count;
    return count;
}

void relayLoad(const ServiceThread& service, int count) {
    std::vector<Session> sessions = relayedSessions(service, count);
    const int epoll = epoll_create1(0);
    for (Session& session : sessions)
        for (auto& side : session.sides) {
            epoll_event event{};
            event.events = EPOLLIN;
            event.data.fd = side->fd();
            epoll_ctl(epoll, EPOLL_CTL_ADD, side->fd(), &event);
        }
    const std::vector<uint8_t> datagram(datagramBytes, 0x5A);
    std::vector<epoll_event> events(1024);
    long sent = 0, arrived = 0;
    const double start = monotonicMs();
    const double cpuStart = service.cpuMs();
    const double periodMs = 1000.0 / datagramsPerSecond;
    // Each session sends on its own phase within the frame, as independent games would.
    for (long tick = 0;; ++tick) {
        const double dueMs = start + tick * periodMs / count;
        if (dueMs - start >= relaySeconds * 1000.0) break;
        while (monotonicMs() < dueMs) arrived += drain(epoll, events, 0);
        Session& session = sessions[static_cast<size_t>(tick % count)];
        for (auto& side : session.sides) side->send(session.relay, datagram);
        sent += 2;
    }
    const double cpuMs = service.cpuMs() - cpuStart;
    const double elapsedMs = monotonicMs() - start;
    for (const double drainStart = monotonicMs(); monotonicMs() - drainStart < 200;) arrived += drain(epoll, events, 10);
    const double cpuPerDatagramUs = cpuMs * 1000 / std::max(1L, arrived);
    const double datagramsPerSession = 2.0 * datagramsPerSecond;
    const double lostPercent = 100.0 * (sent - arrived) / sent;
    std::printf("relay, %d sessions at %.1f KB/s each way: %ld of %ld datagrams arrived (%.2f %% lost); "
                "service thread %.0f %% of a core, %.2f us a datagram",
                count, datagramBytes * datagramsPerSecond / 1000.0, arrived, sent, lostPercent, 100 * cpuMs / elapsedMs,
                cpuPerDatagramUs);
    // Past its core the service drops datagrams, and the time a datagram says nothing.
    if (lostPercent > 1) std::printf(": overloaded\n");
    else std::printf(": one core carries about %.0f sessions\n", 1e6 / (cpuPerDatagramUs * datagramsPerSession));
    close(epoll);
}

}  // namespace

int main(int argc, char** argv) {
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &files);
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
    if (counts.empty()) counts = {100, 400, 1600};

    {
        ServiceThread service;
        UdpSocket client(0);
        const double cpuStart = service.cpuMs();
        const double registrations = requestsPerSecond(
            service, client, requestCount,
            [](int i) { return encodeLobbyMessage(lobby::Register{static_cast<uint64_t>(i + 1), {loopback, 1}}); },
            is<lobby::Registered>);
        std::printf("registrations: %.0f a second (service thread %.1f us each)\n", registrations,
                    (service.cpuMs() - cpuStart) * 1000 / requestCount);
    }
    {
        ServiceThread service;
        UdpSocket host(0), joiner(0);
        std::vector<InviteCode> codes;
        requestsPerSecond(
            service, host, 1000, [](int i) { return encodeLobbyMessage(lobby::Register{static_cast<uint64_t>(i + 1), {}}); },
            [&](std::span<const uint8_t> bytes) {
                if (!is<lobby::Registered>(bytes)) return false;
                codes.push_back(std::get<lobby::Registered>(*decodeLobbyMessage(bytes)).code);
                return true;
            });
        const double cpuStart = service.cpuMs();
        // The host's copies of each introduction are read off its socket meanwhile.
        std::vector<uint8_t> drain(512);
        const double lookups = requestsPerSecond(
            service, joiner, requestCount,
            [&](int i) {
                while (host.receive(drain)) {}
                return encodeLobbyMessage(lobby::Lookup{static_cast<uint64_t>(i + 1), codes[i % codes.size()], {}});
            },
            is<lobby::Introduction>);
        std::printf("lookups: %.0f a second, each introducing both sides (service thread %.1f us each)\n", lookups,
                    (service.cpuMs() - cpuStart) * 1000 / requestCount);
    }
    for (const int count : counts) {
        ServiceThread service;
        relayLoad(service, count);
    }
    return 0;
}
