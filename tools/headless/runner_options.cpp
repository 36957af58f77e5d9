// Reading the headless runner's arguments.
#include "tools/headless/runner_options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>

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

}  // namespace

ParsedArgs parseRunnerArgs(const std::vector<std::string>& args) {
    ParsedArgs parsed;
    RunnerOptions& options = parsed.options;
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
        const bool known = name == "--data" || name == "--dir" || name == "--start-ms" ||
                           name == "--input" || name == "--frames" || name == "--dump" ||
                           name == "--shot" || name == "--replay";
        if (!known) {
            parsed.error = "unknown argument '" + args[i] + "'";
            return parsed;
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                parsed.error = name + " needs a value";
                return parsed;
            }
            value = args[++i];
        }
        auto bad = [&](const std::string& what) {
            parsed.error = name + " " + value + ": " + what;
            return parsed;
        };
        if (name == "--data" || name == "--dir" || name == "--input" || name == "--replay") {
            if (value.empty()) return bad("needs a path");
            (name == "--data"    ? options.dataFolder
             : name == "--dir"   ? options.workFolder
             : name == "--input" ? options.inputPath
                                 : options.replayPath) = value;
        } else if (name == "--start-ms") {
            const std::optional<long> ms = wholeNumber(value, 0);
            if (!ms) return bad("expected milliseconds 0 or more");
            options.startMs = static_cast<int>(*ms);
        } else if (name == "--frames") {
            const std::optional<long> frames = wholeNumber(value, 0);
            if (!frames) return bad("expected a number of frames 0 or more");
            options.frames = static_cast<int>(*frames);
        } else {
            const std::optional<FrameFile> file = frameFile(value);
            if (!file) return bad("expected FRAME:FILE with a frame of 1 or more");
            (name == "--dump" ? options.dumps : options.shots).push_back(*file);
        }
    }
    return parsed;
}
