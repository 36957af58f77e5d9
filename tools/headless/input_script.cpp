// Reading input scripts into headless events.
#include "tools/headless/input_script.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace {

bool allDigits(const std::string& word) {
    if (word.empty()) return false;
    for (const char ch : word) {
        if (!std::isdigit(static_cast<unsigned char>(ch))) return false;
    }
    return true;
}

std::string upper(std::string word) {
    for (char& ch : word) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return word;
}

// The typed text with its escapes: \b is a backspace (8), \\ a backslash.
std::string unescapeTyped(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'b') {
            out += '\b';
            ++i;
        } else if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Splits off the first whitespace-separated word of `rest`, leaving `rest` just after it.
std::string takeWord(std::string& rest) {
    std::size_t start = rest.find_first_not_of(" \t");
    if (start == std::string::npos) {
        rest.clear();
        return "";
    }
    std::size_t end = rest.find_first_of(" \t", start);
    if (end == std::string::npos) end = rest.size();
    std::string word = rest.substr(start, end - start);
    rest = rest.substr(end);
    return word;
}

}  // namespace

std::optional<int> scriptKeyCode(const std::string& word) {
    if (word.size() == 1) {
        const char ch = static_cast<char>(std::toupper(static_cast<unsigned char>(word[0])));
        if ((ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9')) return ch;
        return std::nullopt;
    }
    if (allDigits(word)) {
        if (word.size() > 3) return std::nullopt;
        const int code = std::stoi(word);
        if (code > 255) return std::nullopt;
        return code;
    }
    static const std::pair<const char*, int> names[] = {
        {"LEFT", 37}, {"RIGHT", 39}, {"UP", 38}, {"DOWN", 40},
        {"ENTER", 13}, {"ESC", 27}, {"SPACE", 32},
    };
    const std::string name = upper(word);
    for (const auto& [known, code] : names) {
        if (name == known) return code;
    }
    return std::nullopt;
}

ScriptResult parseInputScript(const std::string& text) {
    ScriptResult result;
    std::istringstream lines(text);
    std::string line;
    int lineNo = 0;
    auto fail = [&](const std::string& why) {
        result.events.clear();
        result.error = "line " + std::to_string(lineNo) + ": " + why;
        return result;
    };
    while (std::getline(lines, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string rest = line;
        const std::string frameWord = takeWord(rest);
        if (frameWord.empty() || frameWord[0] == '#') continue;
        if (!allDigits(frameWord) || frameWord.size() > 9) {
            return fail("expected a frame number, found '" + frameWord + "'");
        }
        const int frame = std::stoi(frameWord);
        const std::string action = takeWord(rest);

        if (action == "type") {
            // The text starts after exactly one separator, so leading spaces can be typed.
            const std::string typed = unescapeTyped(rest.empty() ? rest : rest.substr(1));
            if (typed.empty()) return fail("'type' needs the text to type");
            result.events.push_back({frame, headless::EventKind::Type, 0, typed});
            continue;
        }

        const std::size_t comment = rest.find('#');
        if (comment != std::string::npos) rest.erase(comment);
        if (action == "close") {
            if (!takeWord(rest).empty()) return fail("'close' takes nothing after it");
            result.events.push_back({frame, headless::EventKind::Close, 0, ""});
            continue;
        }
        if (action != "down" && action != "up" && action != "tap") {
            return fail(action.empty() ? "missing action after the frame number"
                                       : "unknown action '" + action + "'");
        }
        const std::string keyWord = takeWord(rest);
        if (keyWord.empty()) return fail("'" + action + "' needs a key");
        const std::optional<int> code = scriptKeyCode(keyWord);
        if (!code) return fail("unknown key '" + keyWord + "'");
        if (!takeWord(rest).empty()) return fail("unexpected text after the key");

        if (action == "down" || action == "tap") {
            result.events.push_back({frame, headless::EventKind::Down, *code, ""});
        }
        if (action == "up") result.events.push_back({frame, headless::EventKind::Up, *code, ""});
        if (action == "tap") {
            result.events.push_back({frame + 1, headless::EventKind::Up, *code, ""});
        }
    }
    // In delivery order once, so that scheduling them only appends (a tap's release
    // lands after later lines of its press's frame).
    std::stable_sort(result.events.begin(), result.events.end(),
                     [](const headless::ScriptEvent& a, const headless::ScriptEvent& b) { return a.frame < b.frame; });
    return result;
}
