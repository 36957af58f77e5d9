#include "replay/replay_name.h"

#include <cstdio>

#include "replay/replay_file.h"

namespace {

constexpr std::string_view Extension = ".tbr";
constexpr int NumberDigits = 5;  // names sort in saving order up to 99999; numbers go on past it

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Takes `literal` off the front of `name`, if it is there.
bool take(std::string_view& name, std::string_view literal) {
    if (!name.starts_with(literal)) return false;
    name.remove_prefix(literal.size());
    return true;
}

// Takes a run of `least` to `most` digits off the front of `name` and returns their
// value; -1, taking nothing, when the run is shorter or longer.
long takeNumber(std::string_view& name, std::size_t least, std::size_t most) {
    std::size_t length = 0;
    while (length < name.size() && isDigit(name[length])) ++length;
    if (length < least || length > most) return -1;
    long value = 0;
    for (std::size_t i = 0; i < length; ++i) value = value * 10 + (name[i] - '0');
    name.remove_prefix(length);
    return value;
}

// "2026-12-08_21-04-33_" and then "versus", "campaign-level-7" or "coop-level-12".
bool takeStampAndMode(std::string_view& name) {
    struct Field {
        std::size_t digits;
        std::string_view after;
    };
    for (const Field& field : {Field{4, "-"}, {2, "-"}, {2, "_"}, {2, "-"}, {2, "-"}, {2, "_"}})
        if (takeNumber(name, field.digits, field.digits) < 0 || !take(name, field.after)) return false;
    if (take(name, "versus")) return true;
    return (take(name, "campaign-level-") || take(name, "coop-level-")) && takeNumber(name, 1, 2) >= 0;
}

std::string modeWords(const Replay& replay) {
    if (replay.mode == "2vs") return "versus";
    return (replay.mode == "2coop" ? "coop-level-" : "campaign-level-") + std::to_string(replay.level);
}

}  // namespace

std::string replayFileName(long number, std::time_t savedAt, const Replay& replay) {
    std::tm local{};
    localtime_r(&savedAt, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
    char numbered[16];
    std::snprintf(numbered, sizeof numbered, "%0*ld_", NumberDigits, number);
    return numbered + std::string(stamp) + "_" + modeWords(replay) + std::string(Extension);
}

long replayNumberOf(std::string_view name) {
    const long number = takeNumber(name, NumberDigits, 9);
    if (number >= 0) return take(name, "_") && takeStampAndMode(name) && name == Extension ? number : -1;
    if (!takeStampAndMode(name)) return -1;
    if (take(name, "_") && takeNumber(name, 3, 9) < 0) return -1;
    return name == Extension ? 0 : -1;
}
