// The packet codec: exact bytes, round trips, and the refusal of every datagram that
// is not exactly one valid packet.

#include <gtest/gtest.h>

#include "net/protocol.h"

namespace {

std::vector<Packet> samplePackets() {
    InputsPacket inputs;
    inputs.senderFrame = 1234;
    inputs.advantage = -3;
    inputs.received = 1230;
    inputs.stampMs = 0xFFFFFFF0u;
    inputs.echoStampMs = 77;
    inputs.echoHeldMs = 16;
    inputs.firstFrame = 1228;
    inputs.inputs = {{0x0102, 1, 'Q'}, {0xFFFF, 0, 0}, {0, 0xFF, 0}};
    return {JoinRequest{kProtocolVersion, 0x1122334455667788ull},
            Welcome{kMaxInputDelay, std::vector<uint8_t>(kMaxSettingsBytes, 0xAB)},
            Refusal{RefusalReason::DifferentBuild},
            inputs,
            ChecksumPacket{4800, 0xDEADBEEFCAFEF00Dull},
            Leave{LeaveReason::Desync}};
}

bool refused(std::vector<uint8_t> bytes) { return !decodePacket(bytes).has_value(); }

TEST(NetProtocol, LaysOutFieldsLittleEndian) {
    const std::vector<uint8_t> expected = {1, 1, 0, 0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11};
    EXPECT_EQ(encodePacket(JoinRequest{1, 0x1122334455667788ull}), expected);
}

TEST(NetProtocol, EveryPacketRoundTripsAndEveryCutOrPaddingIsRefused) {
    for (const Packet& packet : samplePackets()) {
        const std::vector<uint8_t> bytes = encodePacket(packet);
        SCOPED_TRACE(testing::Message() << "packet type " << int(bytes[0]) << ", " << bytes.size() << " bytes");
        const std::optional<Packet> decoded = decodePacket(bytes);
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(decoded->index(), packet.index());
        EXPECT_EQ(encodePacket(*decoded), bytes);
        for (size_t length = 0; length < bytes.size(); ++length)
            EXPECT_TRUE(refused({bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(length)})) << length;
        std::vector<uint8_t> padded = bytes;
        padded.push_back(0);
        EXPECT_TRUE(refused(padded));
    }
}

TEST(NetProtocol, RefusesFieldsOutOfRange) {
    EXPECT_TRUE(refused({0, 0}));     // no such type
    EXPECT_TRUE(refused({7, 0}));
    EXPECT_TRUE(refused({3, 0}));     // refusal reasons start at 1
    EXPECT_TRUE(refused({3, 4}));
    EXPECT_TRUE(refused({6, 4}));     // no such leave reason
    EXPECT_TRUE(refused({2, kMaxInputDelay + 1, 0, 0}));
    EXPECT_TRUE(refused({2, 1, 0x01, 0x02}));  // a 513-byte blob announced
    EXPECT_TRUE(refused(std::vector<uint8_t>(kMaxPacketBytes + 1, 2)));

    // Frame numbers past the signed range, and inputs that would run past it.
    EXPECT_TRUE(refused({5, 0, 0, 0, 0x80, 1, 2, 3, 4, 5, 6, 7, 8}));
    InputsPacket inputs;
    inputs.inputs.resize(2);
    std::vector<uint8_t> bytes = encodePacket(inputs);
    const size_t firstFrameAt = 1 + 4 + 1 + 4 + 4 + 4 + 2;
    bytes[firstFrameAt + 0] = 0xFF;
    bytes[firstFrameAt + 1] = 0xFF;
    bytes[firstFrameAt + 2] = 0xFF;
    bytes[firstFrameAt + 3] = 0x7F;
    EXPECT_TRUE(refused(bytes));

    // More inputs than a packet may carry, even with the bytes for them.
    inputs.inputs.resize(kMaxInputsPerPacket);
    bytes = encodePacket(inputs);
    EXPECT_FALSE(refused(bytes));
    bytes[firstFrameAt + 4] = kMaxInputsPerPacket + 1;
    bytes.insert(bytes.end(), {0, 0, 0, 0});
    EXPECT_TRUE(refused(bytes));
}

}  // namespace
