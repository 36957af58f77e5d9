// Invite codes as text and from numbers.
#include "lobby/invite_code.h"

#include <cctype>

namespace {

constexpr uint64_t codeCount() {
    uint64_t count = 1;
    for (size_t i = 0; i < kInviteCodeLength; ++i) count *= kInviteAlphabet.size();
    return count;
}

}  // namespace

std::string toString(const InviteCode& code) {
    const auto middle = code.letters.begin() + kInviteCodeLength / 2;
    // Built whole: GCC 12 takes an insert into the string for an overlapping copy.
    return std::string(code.letters.begin(), middle) + "-" + std::string(middle, code.letters.end());
}

std::optional<InviteCode> parseInviteCode(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    const bool dashed = text.size() == kInviteCodeLength + 1 && text[kInviteCodeLength / 2] == '-';
    std::string letters;
    for (size_t i = 0; i < text.size(); ++i) {
        if (dashed && i == kInviteCodeLength / 2) continue;
        letters += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    }
    if (letters.size() != kInviteCodeLength) return std::nullopt;
    InviteCode code;
    for (size_t i = 0; i < kInviteCodeLength; ++i) code.letters[i] = letters[i];
    if (!isValid(code)) return std::nullopt;
    return code;
}

std::optional<InviteCode> inviteCodeFromNumber(uint64_t number) {
    if (number >= codeCount()) return std::nullopt;
    InviteCode code;
    for (char& letter : code.letters) {
        letter = kInviteAlphabet[number % kInviteAlphabet.size()];
        number /= kInviteAlphabet.size();
    }
    return code;
}

bool isValid(const InviteCode& code) {
    for (const char letter : code.letters)
        if (letter == '\0' || kInviteAlphabet.find(letter) == std::string_view::npos) return false;
    return true;
}
