// Naming, keeping and finding the saved replays.
#include "replay/replay_folder.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/platform.h"
#include "replay/replay_file.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* Extension = ".tbr";

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

// The replays of the folder, oldest first. Only names this game writes are taken, so
// no other file in the folder is ever removed.
std::vector<fs::path> replaysIn(const std::string& folder) {
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::path& path = it->path();
        const std::string name = path.filename().string();
        if (path.extension() == Extension && name.size() > 20 && name[4] == '-' && name[10] == '_' &&
            it->is_regular_file(error))
            found.push_back(path);
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

std::string saveReplayInFolder(const std::string& folder, const Replay& replay) {
    std::error_code error;
    fs::create_directories(folder, error);
    const std::string base = (fs::path(folder) / (timeStamp() + "_" + modeWords(replay))).string();
    // Two matches may end within the same second: the later one takes a number, padded
    // so that names still sort in the order they were made.
    std::string path = base + Extension;
    for (int n = 2; fs::exists(path, error); ++n) {
        char number[16];
        std::snprintf(number, sizeof number, "_%03d", n);
        path = base + number + Extension;
    }
    const std::vector<uint8_t> bytes = encodeReplay(replay);
    if (!ReplaceFileAtomically(path, std::string(bytes.begin(), bytes.end()))) return "";

    std::vector<fs::path> all = replaysIn(folder);
    for (std::size_t i = 0; i + KeptReplays < all.size(); ++i) fs::remove(all[i], error);
    return path;
}

std::string newestReplayIn(const std::string& folder) {
    const std::vector<fs::path> all = replaysIn(folder);
    return all.empty() ? "" : all.back().string();
}
