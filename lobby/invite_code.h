#pragma once
// Invite codes: eight characters a player reads aloud or types from a message, shown
// as two groups of four ("HXK4-MW7P"). The alphabet leaves out every character that
// looks like another in common fonts (0 O D Q, 1 I L, 2 Z, 5 S, 6 G, 8 B, U V), so
// a code survives being copied by eye: 19^8, about 1.7e10 codes.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::string_view kInviteAlphabet = "ACEFHJKMNPRTWXY3479";
inline constexpr size_t kInviteCodeLength = 8;

struct InviteCode {
    std::array<char, kInviteCodeLength> letters{};  // each from kInviteAlphabet

    bool operator==(const InviteCode&) const = default;
};

// "HXK4-MW7P"
std::string toString(const InviteCode& code);
// A code as a player may type it: any case, with or without the dash, with spaces
// around; nothing if it is not one.
std::optional<InviteCode> parseInviteCode(std::string_view text);
// The code whose letters are the base-19 digits of `number`, for the service's random
// draws; nothing for a number of 19^8 or more (the caller draws again).
std::optional<InviteCode> inviteCodeFromNumber(uint64_t number);
// Whether every letter is from the alphabet.
bool isValid(const InviteCode& code);
