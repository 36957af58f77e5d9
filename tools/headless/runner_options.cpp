// Reading the headless runner's arguments.
#include "tools/headless/runner_options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>

#include "net/protocol.h"

namespace {

std::optional<long> wholeNumber(const std::string& text, long minimum) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < minimum || value > INT_MAX) return std::nullopt;
    return value;
}

// "N:FILE" with N >= 1 and a non-empty FILE.
std::optional<FrameFile> frameFile(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon + 1 >= text.size()) return std::nullopt;
    const std::optional<long> frame = wholeNumber(text.substr(0, colon), 1);
    if (!frame) return std::nullopt;
    return FrameFile{static_cast<int>(*frame), text.substr(colon + 1)};
}

// Each option stores its value and returns "" or what is wrong with the value.
using ApplyOption = std::string (*)(RunnerOptions& options, const std::string& value);

std::string setPath(std::string& field, const std::string& value) {
    if (value.empty()) return "needs a path";
    field = value;
    return "";
}

// A whole number 0 or more, into an int or an optional int.
template <typename Field>
std::string setCount(Field& field, const std::string& value, const char* expected) {
    const std::optional<long> count = wholeNumber(value, 0);
    if (!count) return expected;
    field = static_cast<int>(*count);
    return "";
}

std::string addFrameFile(std::vector<FrameFile>& files, const std::string& value) {
    const std::optional<FrameFile> file = frameFile(value);
    if (!file) return "expected FRAME:FILE with a frame of 1 or more";
    files.push_back(*file);
    return "";
}

std::string setHost(OnlineOptions& online, const std::string& value) {
    const std::optional<uint16_t> port = parsePort(value);
    if (!port) return "expected a port number 0 to 65535 (0: any free one)";
    online.role = OnlineRole::Host;
    online.port = *port;
    return "";
}

std::string setInputDelay(OnlineOptions& online, const std::string& value) {
    const std::optional<int> delay = parseInputDelay(value);
    if (!delay) return "expected a number of frames 0 to " + std::to_string(kMaxInputDelay);
    online.inputDelay = *delay;
    return "";
}

std::string setLoss(Impairment& impairment, const std::string& value) {
    const std::optional<long> percent = wholeNumber(value, 0);
    if (!percent || *percent > 100) return "expected a percentage 0 to 100";
    impairment.lossPercent = static_cast<int>(*percent);
    return "";
}

struct RunnerOption {
    const char* name;
    ApplyOption apply;
    bool takesValue = true;
};

constexpr RunnerOption runnerOptions[] = {
    {"--data", [](RunnerOptions& o, const std::string& v) { return setPath(o.dataFolder, v); }},
    {"--dir", [](RunnerOptions& o, const std::string& v) { return setPath(o.workFolder, v); }},
    {"--input", [](RunnerOptions& o, const std::string& v) { return setPath(o.inputPath, v); }},
    {"--replay", [](RunnerOptions& o, const std::string& v) { return setPath(o.replayPath, v); }},
    {"--start-ms",
     [](RunnerOptions& o, const std::string& v) { return setCount(o.startMs, v, "expected milliseconds 0 or more"); }},
    {"--frames",
     [](RunnerOptions& o, const std::string& v) { return setCount(o.frames, v, "expected a number of frames 0 or more"); }},
    {"--dump", [](RunnerOptions& o, const std::string& v) { return addFrameFile(o.dumps, v); }},
    {"--shot", [](RunnerOptions& o, const std::string& v) { return addFrameFile(o.shots, v); }},
    {"--host", [](RunnerOptions& o, const std::string& v) { return setHost(o.online, v); }},
    {"--join",
     [](RunnerOptions& o, const std::string& v) {
         return parseJoinTarget(v, o.online) ? std::string() : std::string("expected ADDRESS[:PORT], CODE or lan");
     }},
    {"--lobby",
     [](RunnerOptions& o, const std::string& v) {
         o.online.lobby = v;
         return v.empty() ? std::string("expected HOST[:PORT]") : std::string();
     }},
    {"--lan", [](RunnerOptions& o, const std::string&) { o.online.lan = true; return std::string(); }, false},
    {"--coop", [](RunnerOptions& o, const std::string&) { o.online.coop = true; return std::string(); }, false},
    {"--input-delay", [](RunnerOptions& o, const std::string& v) {
         o.online.inputDelayGiven = true;
         return setInputDelay(o.online, v);
     }},
    {"--net-delay",
     [](RunnerOptions& o, const std::string& v) {
         int ms = 0;
         const std::string wrong = setCount(ms, v, "expected milliseconds 0 or more");
         o.impairment.delayMs = ms;
         return wrong;
     }},
    {"--net-loss", [](RunnerOptions& o, const std::string& v) { return setLoss(o.impairment, v); }},
    {"--real-time", [](RunnerOptions& o, const std::string&) { o.realTime = true; return std::string(); }, false},
};

const RunnerOption* findOption(const std::string& name) {
    for (const RunnerOption& option : runnerOptions)
        if (name == option.name) return &option;
    return nullptr;
}

// What the options say together: a run has an end, and every file is written in it.
std::string checkTogether(const RunnerOptions& options) {
    if (options.frames < 0) return "--frames is needed: the number of frames to run";
    const bool online = options.online.role != OnlineRole::None;
    if (online && !options.replayPath.empty()) return "--replay cannot go with --host or --join";
    if (options.online.coop && options.online.role != OnlineRole::Host) return "--coop is the host's choice";
    if (options.online.inputDelayGiven && options.online.role != OnlineRole::Host)
        return "--input-delay is the host's choice";
    if (options.online.inviteCode && options.online.lobby.empty()) return "--join CODE needs --lobby";
    if (options.online.role == OnlineRole::None && (options.online.lan || !options.online.lobby.empty()))
        return "--lan and --lobby need --host or --join";
    const std::pair<const char*, const std::vector<FrameFile>*> kinds[] = {{"--dump", &options.dumps},
                                                                          {"--shot", &options.shots}};
    for (const auto& [name, files] : kinds) {
        for (const FrameFile& file : *files) {
            if (file.frame > options.frames)
                return std::string(name) + " " + std::to_string(file.frame) + ":" + file.path +
                       ": after the last frame, " + std::to_string(options.frames);
        }
    }
    return "";
}

}  // namespace

ParsedArgs parseRunnerArgs(const std::vector<std::string>& args) {
    ParsedArgs parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool hasValue = false;
        const std::size_t equals = name.find('=');
        if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            hasValue = true;
        }
        const RunnerOption* option = findOption(name);
        if (!option) {
            parsed.error = "unknown argument '" + args[i] + "'";
            return parsed;
        }
        if (!option->takesValue) {
            if (hasValue) {
                parsed.error = name + " takes no value";
                return parsed;
            }
        } else if (!hasValue) {
            if (i + 1 >= args.size()) {
                parsed.error = name + " needs a value";
                return parsed;
            }
            value = args[++i];
        }
        if (const std::string wrong = option->apply(parsed.options, value); !wrong.empty()) {
            parsed.error = name + " " + value + ": " + wrong;
            return parsed;
        }
    }
    parsed.error = checkTogether(parsed.options);
    // The runner plays on this machine only, unless it is to be found from elsewhere.
    RunnerOptions& options = parsed.options;
    if (options.online.role == OnlineRole::Host && !options.online.lan && options.online.lobby.empty())
        options.online.address = "127.0.0.1";
    return parsed;
}
