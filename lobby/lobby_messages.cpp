// The invite service's datagrams: one field list per message serves both encoding and
// decoding, so the two cannot drift apart.
#include "lobby/lobby_messages.h"

#include <algorithm>
#include <utility>

namespace {

constexpr uint8_t magic[4] = {'T', 'B', 'L', 'B'};
constexpr size_t headerBytes = sizeof magic + 2;  // the magic, the version, the type
constexpr uint8_t otherVersionType = 0xFF;
constexpr size_t otherVersionIndex = std::variant_size_v<LobbyMessage> - 1;

class Writer {
public:
    void u8(uint8_t v) { bytes.push_back(v); }
    void u16(uint16_t v) { put(v, 2); }
    void u32(uint32_t v) { put(v, 4); }
    void u64(uint64_t v) { put(v, 8); }
    void flag(bool v) { u8(v ? 1 : 0); }
    template <typename E>
    void enumeration(E v, E, E) { u8(static_cast<uint8_t>(v)); }
    void endpoint(const Endpoint& e) {
        u32(e.ip);
        u16(e.port);
    }
    void code(const InviteCode& c) { bytes.insert(bytes.end(), c.letters.begin(), c.letters.end()); }
    void name(const std::string& n) {
        const size_t length = std::min(n.size(), kLanNameBytes);
        bytes.insert(bytes.end(), n.begin(), n.begin() + static_cast<std::ptrdiff_t>(length));
        bytes.resize(bytes.size() + kLanNameBytes - length, 0);
    }

    std::vector<uint8_t> bytes;

private:
    void put(uint64_t v, int count) {
        for (int i = 0; i < count; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
};

// Reads fields in order; `ok` turns false at the first byte out of range or past the end.
class Reader {
public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    void u8(uint8_t& v) { v = static_cast<uint8_t>(get(1)); }
    void u16(uint16_t& v) { v = static_cast<uint16_t>(get(2)); }
    void u32(uint32_t& v) { v = static_cast<uint32_t>(get(4)); }
    void u64(uint64_t& v) { v = get(8); }
    void flag(bool& v) {
        const uint64_t byte = get(1);
        ok = ok && byte <= 1;
        v = byte == 1;
    }
    template <typename E>
    void enumeration(E& v, E first, E last) {
        const uint64_t byte = get(1);
        ok = ok && byte >= static_cast<uint64_t>(first) && byte <= static_cast<uint64_t>(last);
        v = static_cast<E>(byte);
    }
    void endpoint(Endpoint& e) {
        u32(e.ip);
        u16(e.port);
    }
    void code(InviteCode& c) {
        for (char& letter : c.letters) letter = static_cast<char>(get(1));
        ok = ok && isValid(c);
    }
    // Printable characters, then zeros to the end of the field.
    void name(std::string& n) {
        n.clear();
        bool ended = false;
        for (size_t i = 0; i < kLanNameBytes; ++i) {
            const auto c = static_cast<uint8_t>(get(1));
            if (c == 0) ended = true;
            else if (ended || c < 0x20 || c > 0x7E) ok = false;
            else n += static_cast<char>(c);
        }
    }
    // The rest is padding: zeros only.
    bool restIsZero() const {
        return ok && std::all_of(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), bytes_.end(),
                                 [](uint8_t b) { return b == 0; });
    }

    bool ok = true;

private:
    uint64_t get(size_t count) {
        if (!ok || bytes_.size() - at_ < count) {
            ok = false;
            return 0;
        }
        uint64_t v = 0;
        for (size_t i = 0; i < count; ++i) v |= static_cast<uint64_t>(bytes_[at_ + i]) << (8 * i);
        at_ += count;
        return v;
    }

    std::span<const uint8_t> bytes_;
    size_t at_ = 0;
};

// ---- Each message's fields, in wire order

template <typename Io, typename M>
void fields(Io& io, M& m);

template <typename Io> void fields(Io& io, lobby::Register& m) { io.u64(m.secret); io.endpoint(m.privateAddress); }
template <typename Io> void fields(Io& io, lobby::Registered& m) { io.code(m.code); io.endpoint(m.publicAddress); }
template <typename Io> void fields(Io& io, lobby::Close& m) {
    io.u64(m.secret);
    io.enumeration(m.reason, lobby::CloseReason::MatchStarted, lobby::CloseReason::Cancelled);
}
template <typename Io> void fields(Io& io, lobby::Lookup& m) {
    io.u64(m.nonce);
    io.code(m.code);
    io.endpoint(m.privateAddress);
}
template <typename Io> void fields(Io& io, lobby::Introduction& m) {
    io.u64(m.nonce);
    io.u64(m.token);
    io.endpoint(m.peerPublic);
    io.endpoint(m.peerPrivate);
}
template <typename Io> void fields(Io& io, lobby::NoSuchCode& m) { io.u64(m.nonce); }
template <typename Io> void fields(Io& io, lobby::RelayRequest& m) { io.u64(m.token); }
template <typename Io> void fields(Io& io, lobby::RelayOffer& m) { io.u64(m.token); io.u16(m.port); }
template <typename Io> void fields(Io& io, lobby::RelayRefused& m) { io.u64(m.token); }
template <typename Io> void fields(Io& io, lobby::RelayHello& m) {
    io.u64(m.token);
    io.enumeration(m.side, lobby::RelaySide::Host, lobby::RelaySide::Joiner);
}
template <typename Io> void fields(Io& io, lobby::Punch& m) { io.u64(m.token); io.flag(m.answer); io.u32(m.stampMs); }
template <typename Io> void fields(Io& io, lobby::LanQuery& m) { io.u64(m.nonce); }
template <typename Io> void fields(Io& io, lobby::LanAnswer& m) {
    io.u64(m.nonce);
    io.u16(m.gamePort);
    io.u8(m.kind);
    io.u64(m.build);
    io.name(m.name);
}
template <typename Io> void fields(Io&, lobby::OtherVersion&) {}

// ---- Sizes: a request is padded to its largest answer

template <typename M> struct AnswerOf { using type = M; };
template <> struct AnswerOf<lobby::Register> { using type = lobby::Registered; };
template <> struct AnswerOf<lobby::Lookup> { using type = lobby::Introduction; };
template <> struct AnswerOf<lobby::RelayRequest> { using type = lobby::RelayOffer; };
template <> struct AnswerOf<lobby::LanQuery> { using type = lobby::LanAnswer; };

template <typename M>
size_t fieldBytes() {
    Writer writer;
    M message{};
    fields(writer, message);
    return writer.bytes.size();
}

template <typename M>
size_t wireSize() {
    return headerBytes + std::max(fieldBytes<M>(), fieldBytes<typename AnswerOf<M>::type>());
}

uint8_t typeByte(size_t index) { return index == otherVersionIndex ? otherVersionType : static_cast<uint8_t>(index + 1); }

template <typename M>
std::optional<LobbyMessage> decodeAs(std::span<const uint8_t> bytes) {
    if (bytes.size() != wireSize<M>()) return std::nullopt;
    Reader reader(bytes.subspan(headerBytes));
    M message{};
    fields(reader, message);
    if (!reader.restIsZero()) return std::nullopt;
    return message;
}

template <size_t... I>
std::optional<LobbyMessage> decodeIndex(size_t index, std::span<const uint8_t> bytes, std::index_sequence<I...>) {
    std::optional<LobbyMessage> message;
    ((I == index ? (message = decodeAs<std::variant_alternative_t<I, LobbyMessage>>(bytes), 0) : 0), ...);
    return message;
}

}  // namespace

std::vector<uint8_t> encodeLobbyMessage(const LobbyMessage& message) {
    Writer writer;
    writer.bytes.assign(std::begin(magic), std::end(magic));
    writer.u8(kLobbyVersion);
    writer.u8(typeByte(message.index()));
    size_t size = 0;
    std::visit(
        [&](const auto& m) {
            using M = std::decay_t<decltype(m)>;
            M copy = m;
            fields(writer, copy);
            size = wireSize<M>();
        },
        message);
    writer.bytes.resize(size, 0);
    return writer.bytes;
}

std::optional<LobbyMessage> decodeLobbyMessage(std::span<const uint8_t> bytes) {
    if (bytes.size() < headerBytes || !std::equal(std::begin(magic), std::end(magic), bytes.begin())) return std::nullopt;
    const uint8_t version = bytes[4];
    if (version != kLobbyVersion) return lobby::OtherVersion{version};
    const uint8_t type = bytes[5];
    if (type == 0 || type > otherVersionIndex) return std::nullopt;  // OtherVersion's own byte too
    return decodeIndex(type - 1u, bytes, std::make_index_sequence<otherVersionIndex>{});
}
