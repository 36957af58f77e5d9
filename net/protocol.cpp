#include "net/protocol.h"

#include <cassert>
#include <limits>
#include <type_traits>

namespace {

class ByteWriter {
public:
    explicit ByteWriter(PacketType type) { out_.push_back(static_cast<uint8_t>(type)); }

    template <typename T>
    void put(T value) {
        using U = std::make_unsigned_t<T>;
        const U bits = static_cast<U>(value);
        for (size_t i = 0; i < sizeof(T); ++i) out_.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    }
    void putFrame(int32_t frame) {
        assert(frame >= 0);
        put<uint32_t>(static_cast<uint32_t>(frame));
    }
    void putBytes(std::span<const uint8_t> bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }

    std::vector<uint8_t> take() { return std::move(out_); }

private:
    std::vector<uint8_t> out_;
};

// Reads fields off the front of a datagram. A read past the end marks the reader
// failed instead of reading anything; the caller checks ok() once at the end.
class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> bytes) : rest_(bytes) {}

    template <typename T>
    T get() {
        using U = std::make_unsigned_t<T>;
        if (rest_.size() < sizeof(T)) return fail<T>();
        U bits = 0;
        for (size_t i = 0; i < sizeof(T); ++i) bits |= static_cast<U>(static_cast<U>(rest_[i]) << (8 * i));
        rest_ = rest_.subspan(sizeof(T));
        return static_cast<T>(bits);
    }
    // Frames travel as unsigned 32 bits but never exceed the signed range.
    int32_t getFrame() {
        const uint32_t frame = get<uint32_t>();
        if (frame > static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) return fail<int32_t>();
        return static_cast<int32_t>(frame);
    }
    std::span<const uint8_t> getBytes(size_t count) {
        if (rest_.size() < count) return fail<std::span<const uint8_t>>();
        std::span<const uint8_t> bytes = rest_.first(count);
        rest_ = rest_.subspan(count);
        return bytes;
    }
    template <typename T>
    T fail() {
        failed_ = true;
        rest_ = {};
        return T{};
    }
    // Every field was there, in range, and nothing is left over.
    bool ok() const { return !failed_ && rest_.empty(); }

private:
    std::span<const uint8_t> rest_;
    bool failed_ = false;
};

template <typename Enum>
Enum getEnum(ByteReader& in, Enum last) {
    const uint8_t value = in.get<uint8_t>();
    if (value < 1 || value > static_cast<uint8_t>(last)) return in.fail<Enum>();
    return static_cast<Enum>(value);
}

std::optional<Packet> finished(const ByteReader& in, Packet packet) {
    if (!in.ok()) return std::nullopt;
    return packet;
}

std::optional<Packet> decodeWelcome(ByteReader& in) {
    Welcome welcome;
    welcome.inputDelay = in.get<uint8_t>();
    if (welcome.inputDelay > kMaxInputDelay) return std::nullopt;
    const uint16_t length = in.get<uint16_t>();
    if (length > kMaxSettingsBytes) return std::nullopt;
    const std::span<const uint8_t> settings = in.getBytes(length);
    welcome.settings.assign(settings.begin(), settings.end());
    return finished(in, std::move(welcome));
}

std::optional<Packet> decodeInputs(ByteReader& in) {
    InputsPacket inputs;
    inputs.senderFrame = in.getFrame();
    inputs.advantage = in.get<int8_t>();
    inputs.received = in.getFrame();
    inputs.stampMs = in.get<uint32_t>();
    inputs.echoStampMs = in.get<uint32_t>();
    inputs.echoHeldMs = in.get<uint16_t>();
    inputs.firstFrame = in.getFrame();
    const uint8_t count = in.get<uint8_t>();
    if (count > kMaxInputsPerPacket) return std::nullopt;
    // The last frame carried must stay a valid frame number too.
    if (static_cast<int64_t>(inputs.firstFrame) + count > std::numeric_limits<int32_t>::max()) return std::nullopt;
    inputs.inputs.resize(count);
    for (PlayerInput& input : inputs.inputs) {
        input.held = in.get<uint16_t>();
        input.presses = in.get<uint8_t>();
        input.typed = in.get<uint8_t>();
    }
    return finished(in, std::move(inputs));
}

}  // namespace

std::vector<uint8_t> encodePacket(const Packet& packet) {
    struct Encoder {
        std::vector<uint8_t> operator()(const JoinRequest& join) const {
            ByteWriter out(PacketType::JoinRequest);
            out.put(join.protocolVersion);
            out.put(join.buildFingerprint);
            return out.take();
        }
        std::vector<uint8_t> operator()(const Welcome& welcome) const {
            assert(welcome.inputDelay <= kMaxInputDelay && welcome.settings.size() <= kMaxSettingsBytes);
            ByteWriter out(PacketType::Welcome);
            out.put(welcome.inputDelay);
            out.put(static_cast<uint16_t>(welcome.settings.size()));
            out.putBytes(welcome.settings);
            return out.take();
        }
        std::vector<uint8_t> operator()(const Refusal& refusal) const {
            ByteWriter out(PacketType::Refusal);
            out.put(static_cast<uint8_t>(refusal.reason));
            return out.take();
        }
        std::vector<uint8_t> operator()(const InputsPacket& inputs) const {
            assert(inputs.inputs.size() <= static_cast<size_t>(kMaxInputsPerPacket));
            ByteWriter out(PacketType::Inputs);
            out.putFrame(inputs.senderFrame);
            out.put(inputs.advantage);
            out.putFrame(inputs.received);
            out.put(inputs.stampMs);
            out.put(inputs.echoStampMs);
            out.put(inputs.echoHeldMs);
            out.putFrame(inputs.firstFrame);
            out.put(static_cast<uint8_t>(inputs.inputs.size()));
            for (const PlayerInput& input : inputs.inputs) {
                out.put(input.held);
                out.put(input.presses);
                out.put(input.typed);
            }
            return out.take();
        }
        std::vector<uint8_t> operator()(const ChecksumPacket& checksum) const {
            ByteWriter out(PacketType::Checksum);
            out.putFrame(checksum.frame);
            out.put(checksum.checksum);
            return out.take();
        }
        std::vector<uint8_t> operator()(const Leave& leave) const {
            ByteWriter out(PacketType::Leave);
            out.put(static_cast<uint8_t>(leave.reason));
            return out.take();
        }
    };
    return std::visit(Encoder{}, packet);
}

std::optional<Packet> decodePacket(std::span<const uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > kMaxPacketBytes) return std::nullopt;
    ByteReader in(bytes.subspan(1));
    switch (static_cast<PacketType>(bytes[0])) {
        case PacketType::JoinRequest: {
            JoinRequest join;
            join.protocolVersion = in.get<uint16_t>();
            join.buildFingerprint = in.get<uint64_t>();
            return finished(in, join);
        }
        case PacketType::Welcome:
            return decodeWelcome(in);
        case PacketType::Refusal:
            return finished(in, Refusal{getEnum(in, RefusalReason::SessionFull)});
        case PacketType::Inputs:
            return decodeInputs(in);
        case PacketType::Checksum: {
            ChecksumPacket checksum;
            checksum.frame = in.getFrame();
            checksum.checksum = in.get<uint64_t>();
            return finished(in, checksum);
        }
        case PacketType::Leave:
            return finished(in, Leave{getEnum(in, LeaveReason::Finished)});
    }
    return std::nullopt;
}
