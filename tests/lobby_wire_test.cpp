// The invite service's wire: codes as players type them, and messages that decode
// exactly as encoded, are never smaller than their answers, and refuse every byte out
// of place.

#include <gtest/gtest.h>

#include <set>

#include "lobby/invite_code.h"
#include "lobby/lobby_messages.h"

namespace {

InviteCode code(const char* text) { return parseInviteCode(text).value(); }

TEST(InviteCodes, AreTypedInAnyCaseWithOrWithoutTheDash) {
    EXPECT_EQ(toString(code("HXK4-MW7P")), "HXK4-MW7P");
    EXPECT_EQ(code("hxk4mw7p"), code("HXK4-MW7P"));
    EXPECT_EQ(code("  Hxk4-mW7p "), code("HXK4-MW7P"));
    for (const char* wrong : {"", "HXK4-MW7", "HXK4-MW7PP", "HXK-4MW7P", "HXK4--MW7P", "HXK4 MW7P", "H0K4-MW7P",
                              "HXK4-MW1P", "OXK4-MW7P", "HXK4-MW7Z", "lan"})
        EXPECT_FALSE(parseInviteCode(wrong)) << wrong;
}

TEST(InviteCodes, UseNoCharacterThatLooksLikeAnother) {
    for (const char lookAlike : std::string("0OQD1IL2Z5S6G8BUV"))
        EXPECT_EQ(kInviteAlphabet.find(lookAlike), std::string_view::npos) << lookAlike;
    // Every number below 19^8 is a code, and different numbers are different codes.
    std::set<std::string> seen;
    for (const uint64_t number : {0ull, 1ull, 18ull, 19ull, 16983563040ull}) {
        const std::optional<InviteCode> made = inviteCodeFromNumber(number);
        ASSERT_TRUE(made) << number;
        EXPECT_TRUE(isValid(*made));
        EXPECT_TRUE(seen.insert(toString(*made)).second);
    }
    EXPECT_FALSE(inviteCodeFromNumber(16983563041ull));
}

std::vector<LobbyMessage> oneOfEach() {
    const Endpoint a{0xC6336401, 27615}, b{0x0AC90102, 40000};
    return {lobby::Register{7, a},
            lobby::Registered{code("HXK4-MW7P"), b},
            lobby::Close{7, lobby::CloseReason::Cancelled},
            lobby::Lookup{99, code("ACEF-3479"), a},
            lobby::Introduction{99, 1234, a, b},
            lobby::NoSuchCode{99},
            lobby::RelayRequest{1234},
            lobby::RelayOffer{1234, 50000},
            lobby::RelayRefused{1234},
            lobby::RelayHello{1234, lobby::RelaySide::Joiner},
            lobby::Punch{1234, true, 0xFFFFFFF0},
            lobby::LanQuery{5},
            lobby::LanAnswer{5, 27615, 1, 0xABCDEF, "living room"},
            lobby::OtherVersion{}};
}

TEST(LobbyMessages, DecodeToWhatWasEncoded) {
    for (const LobbyMessage& message : oneOfEach()) {
        SCOPED_TRACE(message.index());
        const std::vector<uint8_t> bytes = encodeLobbyMessage(message);
        const std::optional<LobbyMessage> decoded = decodeLobbyMessage(bytes);
        if (std::holds_alternative<lobby::OtherVersion>(message)) {
            EXPECT_FALSE(decoded);  // this version's own answer is for the others
            continue;
        }
        ASSERT_TRUE(decoded);
        EXPECT_EQ(encodeLobbyMessage(*decoded), bytes);
    }
    const auto answer = decodeLobbyMessage(encodeLobbyMessage(lobby::LanAnswer{5, 27615, 1, 9, "living room"}));
    EXPECT_EQ(std::get<lobby::LanAnswer>(*answer).name, "living room");
}

TEST(LobbyMessages, NoAnswerIsLargerThanItsRequest) {
    const auto size = [](const LobbyMessage& m) { return encodeLobbyMessage(m).size(); };
    const std::vector<LobbyMessage> all = oneOfEach();
    EXPECT_GE(size(lobby::Register{}), size(lobby::Registered{}));
    EXPECT_GE(size(lobby::Lookup{}), size(lobby::Introduction{}));
    EXPECT_GE(size(lobby::Lookup{}), size(lobby::NoSuchCode{}));
    EXPECT_GE(size(lobby::RelayRequest{}), size(lobby::RelayOffer{}));
    EXPECT_GE(size(lobby::RelayRequest{}), size(lobby::RelayRefused{}));
    EXPECT_GE(size(lobby::LanQuery{}), size(lobby::LanAnswer{}));
    EXPECT_EQ(size(lobby::Punch{}), size(lobby::Punch{0, true, 0}));  // an answer echoes its ping
    for (const LobbyMessage& message : all) EXPECT_GE(size(message), size(lobby::OtherVersion{}));
}

TEST(LobbyMessages, EveryCutExtensionOrStrayByteIsRefused) {
    for (const LobbyMessage& message : oneOfEach()) {
        if (std::holds_alternative<lobby::OtherVersion>(message)) continue;
        SCOPED_TRACE(message.index());
        const std::vector<uint8_t> bytes = encodeLobbyMessage(message);
        for (size_t cut = 0; cut < bytes.size(); ++cut)
            EXPECT_FALSE(decodeLobbyMessage(std::span(bytes.data(), cut))) << cut;
        std::vector<uint8_t> longer = bytes;
        longer.push_back(0);
        EXPECT_FALSE(decodeLobbyMessage(longer));
        std::vector<uint8_t> badMagic = bytes;
        badMagic[0] = 'X';
        EXPECT_FALSE(decodeLobbyMessage(badMagic));
        std::vector<uint8_t> unknownType = bytes;
        unknownType[5] = 0;
        EXPECT_FALSE(decodeLobbyMessage(unknownType));
    }
    // Padding must be zeros; enumerations, flags, code letters and names in range.
    std::vector<uint8_t> padded = encodeLobbyMessage(lobby::RelayRequest{1});
    padded.back() = 1;
    EXPECT_FALSE(decodeLobbyMessage(padded));
    std::vector<uint8_t> side = encodeLobbyMessage(lobby::RelayHello{1, lobby::RelaySide::Host});
    side.back() = 2;
    EXPECT_FALSE(decodeLobbyMessage(side));
    std::vector<uint8_t> flag = encodeLobbyMessage(lobby::Punch{1, false, 0});
    flag[6 + 8] = 2;
    EXPECT_FALSE(decodeLobbyMessage(flag));
    std::vector<uint8_t> letter = encodeLobbyMessage(lobby::Registered{code("HXK4-MW7P"), {}});
    letter[6] = '0';
    EXPECT_FALSE(decodeLobbyMessage(letter));
    std::vector<uint8_t> name = encodeLobbyMessage(lobby::LanAnswer{1, 2, 0, 0, "ab"});
    std::vector<uint8_t> control = name, gap = name;
    control[6 + 19] = '\n';
    gap[6 + 19 + 3] = 'c';  // a character after the name's end
    EXPECT_FALSE(decodeLobbyMessage(control));
    EXPECT_FALSE(decodeLobbyMessage(gap));
}

TEST(LobbyMessages, AnotherVersionIsRecognisedWhateverItSays) {
    std::vector<uint8_t> newer = encodeLobbyMessage(lobby::Lookup{1, code("HXK4-MW7P"), {}});
    newer[4] = kLobbyVersion + 1;
    newer.resize(100, 7);
    const std::optional<LobbyMessage> decoded = decodeLobbyMessage(newer);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(std::get<lobby::OtherVersion>(*decoded).version, kLobbyVersion + 1);
    // A newer service's own answer to an older client reads as another version too.
    std::vector<uint8_t> answer = encodeLobbyMessage(lobby::OtherVersion{});
    answer[4] = kLobbyVersion + 1;
    EXPECT_EQ(std::get<lobby::OtherVersion>(*decodeLobbyMessage(answer)).version, kLobbyVersion + 1);
}

}  // namespace
