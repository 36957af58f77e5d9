// Number and letter conversions of the game's text.

#include <cstdint>
#include <limits>

#include "platform/platform.h"

namespace {

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;  // not a digit in any base used here
}

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Reads [space][sign][% or $]digits. A number beyond the range saturates at the
// nearest end: a hand-edited file with a huge value reads as the largest one.
int64_t parseInteger(const std::string& text, int64_t lowest, int64_t highest) {
    size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '%') base = 2, ++i;
    else if (i < text.size() && text[i] == '$') base = 16, ++i;

    // The magnitude stays within the limit on the number's side.
    uint64_t limit = negative ? static_cast<uint64_t>(-(lowest + 1)) + 1 : static_cast<uint64_t>(highest);
    uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        int digit = digitValue(text[i]);
        if (digit >= base) break;
        if (magnitude > (limit - digit) / base) {
            magnitude = limit;
        } else {
            magnitude = magnitude * base + digit;
        }
    }
    if (!negative) return static_cast<int64_t>(magnitude);
    return magnitude == 0 ? 0 : -static_cast<int64_t>(magnitude - 1) - 1;
}

}  // namespace

std::string String(int64_t value) { return std::to_string(value); }

std::string Upper(const std::string& text) {
    std::string upper = text;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

int StringToInt(const std::string& text) {
    return static_cast<int>(parseInteger(text, std::numeric_limits<int32_t>::min(),
                                         std::numeric_limits<int32_t>::max()));
}

int64_t StringToLong(const std::string& text) {
    return parseInteger(text, std::numeric_limits<int64_t>::min(),
                        std::numeric_limits<int64_t>::max());
}
