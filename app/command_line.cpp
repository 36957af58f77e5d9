// The option table, its parser and the help texts.
#include "app/command_line.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr CommandOption gameOptionTable[] = {
    {"--fullscreen", "", "play full screen this time (the options stay as they are)",
     [](CommandLine& line, const std::string&) { line.fullscreen = true; return true; }},
    {"--windowed", "", "play in a window this time (the options stay as they are)",
     [](CommandLine& line, const std::string&) { line.fullscreen = false; return true; }},
    {"--replay", "FILE", "watch a replay (Space pauses, Right fast-forwards, Esc leaves)",
     [](CommandLine& line, const std::string& file) { line.replay = file; return !file.empty(); }},
    {"--replay-last", "", "watch the newest replay",
     [](CommandLine& line, const std::string&) { line.replayLast = true; return true; }},
    {"--host", "[PORT]", "wait for an opponent to play online (port 27615 unless given)",
     [](CommandLine& line, const std::string& port) {
         line.online.role = OnlineRole::Host;
         if (port.empty()) return true;
         const std::optional<uint16_t> number = parsePort(port);
         if (number) line.online.port = *number;
         return number.has_value();
     }},
    {"--join", "ADDRESS[:PORT]|CODE", "play online against the host at ADDRESS, or whose invite code is CODE",
     [](CommandLine& line, const std::string& target) { return parseJoinTarget(target, line.online); }},
    {"--lobby", "HOST[:PORT]", "the invite service for codes (default: TUMBLEBOUT_LOBBY, else the build's)",
     [](CommandLine& line, const std::string& service) {
         line.online.lobby = service;
         return !service.empty();
     }},
    {"--coop", "", "host the two-player co-op campaign instead of the versus series",
     [](CommandLine& line, const std::string&) { line.online.coop = true; return true; }},
    {"--input-delay", "N", "host: frames before a key acts, 0 to 8 (default 2)",
     [](CommandLine& line, const std::string& frames) {
         const std::optional<int> delay = parseInputDelay(frames);
         if (delay) line.online.inputDelay = *delay;
         line.online.inputDelayGiven = true;
         return delay.has_value();
     }},
    {"--help", "", "show this help and exit",
     [](CommandLine& line, const std::string&) { line.help = true; return true; }},
    {"--version", "", "show the version and exit",
     [](CommandLine& line, const std::string&) { line.version = true; return true; }},
};

enum class ValueKind { None, Optional, Required };

ValueKind valueKind(const CommandOption& option) {
    if (option.value[0] == '\0') return ValueKind::None;
    return option.value[0] == '[' ? ValueKind::Optional : ValueKind::Required;
}

const CommandOption* findOption(std::span<const CommandOption> options, std::string_view name) {
    for (const CommandOption& option : options)
        if (name == option.name) return &option;
    return nullptr;
}

struct Row {
    std::string left, right;
};

// Rows of two columns, the second aligned two spaces after the widest first one.
std::string table(const std::vector<Row>& rows) {
    size_t width = 0;
    for (const Row& row : rows) width = std::max(width, row.left.size());
    std::string text;
    for (const Row& row : rows)
        text += "  " + row.left + std::string(width - row.left.size() + 2, ' ') + row.right + "\n";
    return text;
}

std::vector<Row> optionRows(std::span<const CommandOption> options) {
    std::vector<Row> rows;
    for (const CommandOption& option : options) {
        std::string left = option.name;
        if (valueKind(option) != ValueKind::None) left += std::string(" ") + option.value;
        rows.push_back({left, option.help});
    }
    return rows;
}

const std::vector<Row> keyRows = {
    {"Arrow keys", "player 1 moves (pushes the head)"},
    {"W, A, S, D", "player 2 moves"},
    {"P", "pause"},
    {"Esc", "leave a match"},
    {"Enter, Space", "go on"},
    {"F11, Alt+Enter", "switch between a window and full screen"},
    {"F12", "save a screenshot"},
    {"F3", "online: show or hide the round trip and the rollback frames"},
};

// What the options say together.
std::string checkTogether(const CommandLine& line) {
    const bool online = line.online.role != OnlineRole::None;
    if (line.online.coop && line.online.role != OnlineRole::Host) return "--coop needs --host";
    if (line.online.inputDelayGiven && line.online.role != OnlineRole::Host) return "--input-delay needs --host";
    if (!line.online.lobby.empty() && !online) return "--lobby needs --host or --join";
    if (online && (line.replayLast || !line.replay.empty())) return "a replay cannot be watched online";
    return "";
}

}  // namespace

std::span<const CommandOption> gameOptions() { return gameOptionTable; }

CommandLine parseCommandLine(const std::vector<std::string>& args, std::span<const CommandOption> options) {
    CommandLine line;
    for (size_t i = 0; i < args.size() && line.error.empty(); ++i) {
        const std::string& arg = args[i];
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const CommandOption* option = findOption(options, name);
        if (option == nullptr) {
            line.error = "unknown option '" + arg + "'";
            break;
        }
        const ValueKind kind = valueKind(*option);
        std::optional<std::string> value;
        if (equals != std::string::npos) value = arg.substr(equals + 1);
        const bool nextIsValue = i + 1 < args.size() &&
                                 (kind == ValueKind::Required || args[i + 1].rfind('-', 0) != 0);
        if (!value && kind != ValueKind::None && nextIsValue) value = args[++i];

        if (kind == ValueKind::None && value)
            line.error = name + " takes no value";
        else if (kind == ValueKind::Required && !value)
            line.error = name + " needs " + option->value;
        else if (!option->apply(line, value.value_or("")))
            line.error = "bad value '" + value.value_or("") + "' for " + name;
    }
    if (line.error.empty()) line.error = checkTogether(line);
    return line;
}

std::string usageText(std::span<const CommandOption> options) {
    return "Usage: tumblebout [OPTION]...\n\nOptions:\n" + table(optionRows(options));
}

std::string helpText(const std::string& dataFolder) {
    return "Tumblebout: an arcade fighting game of stick-figure puppets, steered by the head.\n\n" +
           usageText() + "\nKeys:\n" + table(keyRows) +
           "Game controllers press the same keys: the D-pad or left stick moves, A is Enter,\n"
           "B is Space, Start is P and Back is Esc.\n"
           "\nFiles:\n" +
           table({
               {"Pictures, sounds, music, font", dataFolder},
               {"Options, high scores, screenshots, replays",
                "$XDG_DATA_HOME/tumblebout, by default ~/.local/share/tumblebout"},
               {"Controller mappings", "gamecontrollerdb.txt in either folder, or SDL_GAMECONTROLLERCONFIG"},
           });
}

std::string versionText() { return std::string("tumblebout ") + TUMBLEBOUT_VERSION + "\n"; }
