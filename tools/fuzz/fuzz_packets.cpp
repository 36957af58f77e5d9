// The network packets under fuzzing. An input is a run of datagrams, each a 16-bit
// little-endian length and that many bytes; a zero length ends one tick's worth.
// Every datagram that decodes must encode back to the same bytes. Then all of them
// reach a host's rollback session as if from its joiner, a tick's worth per tick, and
// whatever they say the session must keep within its window. The seeds are an honest
// joiner's traffic, recorded here, so the fuzzer starts deep inside a match.

#include <cstdio>
#include <cstdlib>

#include "net/fake_link.h"
#include "net/impaired_transport.h"
#include "net/rollback_session.h"
#include "tools/fuzz/fuzz_inputs.h"
#include "tools/fuzz/fuzz_seeds.h"

namespace {

using Datagram = std::vector<uint8_t>;
using Ticks = std::vector<std::vector<Datagram>>;

constexpr double frameMs = 1000.0 / 60.0;
constexpr SessionConfig hostConfig{0, 2, -1, frameMs};

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "tumblebout fuzz: invariant broken: %s\n", what);
    std::abort();
}

// Both sides answer checksum requests alike, so honest traffic never desyncs.
uint64_t fakeChecksum(int32_t frame) { return static_cast<uint64_t>(frame) * 0x9E3779B97F4A7C15ull; }

// One tick of the host, with the checks every tick must pass.
void tickHost(RollbackSession& host, double nowMs) {
    const int32_t frameBefore = host.frame();
    const std::vector<SessionRequest>& requests = host.tick({}, nowMs);
    if (requests.size() > 3 * kMaxRollbackFrames + 8) broken("too many requests on one tick");
    int quietFrames = 0;
    for (const SessionRequest& r : requests) {
        if (r.kind == SessionRequest::Kind::LoadState && frameBefore - r.frame > kMaxRollbackFrames)
            broken("a load past the window");
        if (r.kind == SessionRequest::Kind::Advance && r.quiet) ++quietFrames;
        if (r.kind == SessionRequest::Kind::Checksum) host.setChecksum(r.frame, fakeChecksum(r.frame));
    }
    if (quietFrames > kMaxRollbackFrames || quietFrames != host.stats().rollbackFrames)
        broken("a rollback past the window");
}

// Passes everything through, keeping a copy of each datagram received.
class RecordingTransport final : public Transport {
public:
    explicit RecordingTransport(Transport& inner) : inner_(inner) {}
    void send(std::span<const uint8_t> bytes, Delivery delivery) override { inner_.send(bytes, delivery); }
    void poll(double nowMs, std::vector<LinkEvent>& events) override {
        const size_t before = events.size();
        inner_.poll(nowMs, events);
        for (size_t i = before; i < events.size(); ++i)
            if (events[i].kind == LinkEvent::Kind::Received) received.push_back(events[i].bytes);
    }
    void disconnect() override { inner_.disconnect(); }

    std::vector<Datagram> received;

private:
    Transport& inner_;
};

// What an honest joiner sends a host over `ticks` ticks, through a slow, jittery link,
// ending with its leave if `leaves`.
Ticks recordJoiner(int ticks, bool leaves) {
    FakeLink link;
    RecordingTransport hostEnd(link.end(0));
    ImpairedTransport joinerEnd(link.end(1), {40, 30, 0, 9});
    RollbackSession host(hostEnd, hostConfig, 0);
    SessionConfig joinerConfig = hostConfig;
    joinerConfig.localPlayer = 1;
    RollbackSession joiner(joinerEnd, joinerConfig, 0);
    Ticks recorded;
    double now = 0;
    for (int t = 0; t < ticks; ++t) {
        now += frameMs;
        const int32_t frame = joiner.inputFrame();
        const PlayerInput keys{static_cast<uint16_t>((frame / 7) % 5), static_cast<uint8_t>(frame % 11 == 0), 0};
        for (const SessionRequest& r : joiner.tick(keys, now))
            if (r.kind == SessionRequest::Kind::Checksum) joiner.setChecksum(r.frame, fakeChecksum(r.frame));
        if (leaves && t == ticks - 1) joiner.leave();
        hostEnd.received.clear();
        tickHost(host, now);
        recorded.push_back(hostEnd.received);
    }
    return recorded;
}

std::vector<unsigned char> frameDatagrams(const Ticks& ticks) {
    std::vector<unsigned char> bytes;
    for (const std::vector<Datagram>& tick : ticks) {
        for (const Datagram& datagram : tick) {
            bytes.push_back(static_cast<unsigned char>(datagram.size() & 0xFF));
            bytes.push_back(static_cast<unsigned char>(datagram.size() >> 8));
            bytes.insert(bytes.end(), datagram.begin(), datagram.end());
        }
        bytes.insert(bytes.end(), {0, 0});
    }
    return bytes;
}

}  // namespace

bool feedPackets(const uint8_t* data, size_t size) {
    Ticks ticks(1);
    bool wellFormed = true;
    size_t datagrams = 0;
    size_t at = 0;
    while (at + 2 <= size) {
        const size_t length = data[at] | static_cast<size_t>(data[at + 1]) << 8;
        at += 2;
        if (length == 0) {
            ticks.emplace_back();
            continue;
        }
        if (length > size - at) break;
        const Datagram bytes(data + at, data + at + length);
        at += length;
        ++datagrams;
        if (const std::optional<Packet> packet = decodePacket(bytes)) {
            if (encodePacket(*packet) != bytes) broken("a packet that does not encode back to its bytes");
        } else {
            wellFormed = false;
        }
        ticks.back().push_back(bytes);
    }
    if (at != size) wellFormed = false;  // a cut length or datagram

    FakeLink link;
    RollbackSession host(link.end(0), hostConfig, 0);
    double now = 0;
    for (const std::vector<Datagram>& tick : ticks) {
        for (const Datagram& datagram : tick) link.end(1).send(datagram, Delivery::Unreliable);
        tickHost(host, now += frameMs);
    }
    return wellFormed && datagrams > 0;
}

std::vector<FuzzSeed> makePacketSeeds() {
    return {
        {"match", frameDatagrams(recordJoiner(150, false))},
        {"match-left", frameDatagrams(recordJoiner(40, true))},
    };
}
