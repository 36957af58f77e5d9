// Naming, keeping and finding the saved replays.
#include "replay/replay_folder.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <regex>
#include <string>
#include <system_error>
#include <tuple>
#include <vector>

#include "platform/durable_file.h"
#include "replay/replay_file.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* Extension = ".tbr";
constexpr int NumberDigits = 5;  // names sort in saving order up to 99999; numbers go on past it

// "2026-12-08_21-04-33_versus", "..._campaign-level-7", "..._coop-level-12"
const std::string StampAndMode =
    R"(\d{4}-\d{2}-\d{2}_\d{2}-\d{2}-\d{2}_(versus|campaign-level-\d{1,2}|coop-level-\d{1,2}))";
const std::regex NumberedName(R"((\d{5,9})_)" + StampAndMode + R"(\.tbr)");
// Earlier versions' names: a second's later replays took "_002", "_003", ...
const std::regex EarlierName(StampAndMode + R"((_\d{3,})?\.tbr)");

std::string modeWords(const Replay& replay) {
    if (replay.mode == "2vs") return "versus";
    return (replay.mode == "2coop" ? "coop-level-" : "campaign-level-") + std::to_string(replay.level);
}

std::string timeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d_%H-%M-%S", &local);
    return text;
}

struct SavedFile {
    long number = 0;  // 0 for an earlier version's file: older than any numbered one
    fs::path path;

    // Oldest first: by number, then (earlier versions' files, or a tie) by name.
    bool operator<(const SavedFile& other) const {
        return std::tie(number, path) < std::tie(other.number, other.path);
    }
};

// The replays the game saved in the folder, oldest first.
std::vector<SavedFile> replaysIn(const std::string& folder) {
    std::vector<SavedFile> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::smatch match;
        SavedFile file{0, it->path()};
        if (std::regex_match(name, match, NumberedName)) file.number = std::stol(match[1]);
        else if (!std::regex_match(name, EarlierName)) continue;
        if (beginsWithReplayHeader(file.path.string())) found.push_back(file);
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::string numberedName(long number, const std::string& stampAndMode) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*ld_", NumberDigits, number);
    return text + stampAndMode + Extension;
}

}  // namespace

SavedReplay saveReplayInFolder(const std::string& folder, const Replay& replay) {
    std::error_code ignored;
    fs::create_directories(folder, ignored);  // if it cannot be made, writing says why
    std::vector<SavedFile> saved = replaysIn(folder);
    const long next = saved.empty() ? 1 : saved.back().number + 1;
    const std::string stampAndMode = timeStamp() + "_" + modeWords(replay);
    const std::vector<uint8_t> bytes = encodeReplay(replay);
    SavedReplay result;
    // Another copy of the game saving at the same moment may take a number first: then
    // the next one is free.
    result.path = writeNewFile(
        folder, [&](int attempt) { return numberedName(next + attempt, stampAndMode); },
        std::string(bytes.begin(), bytes.end()), result.error);
    if (result.path.empty()) {
        result.error = "cannot save the replay in " + folder + ": " + result.error;
        std::fprintf(stderr, "tumblebout: %s\n", result.error.c_str());
        return result;
    }
    saved = replaysIn(folder);
    for (std::size_t i = 0; i + KeptReplays < saved.size(); ++i)
        if (saved[i].path != result.path) fs::remove(saved[i].path, ignored);
    return result;
}

std::string newestReplayIn(const std::string& folder) {
    const std::vector<SavedFile> all = replaysIn(folder);
    return all.empty() ? "" : all.back().path.string();
}
