// Naming, keeping and finding the saved replays.
#include "replay/replay_folder.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>
#include <tuple>
#include <vector>

#include "platform/durable_file.h"
#include "replay/replay_file.h"
#include "replay/replay_name.h"

namespace fs = std::filesystem;

namespace {

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
        const SavedFile file{replayNumberOf(it->path().filename().string()), it->path()};
        if (file.number >= 0 && beginsWithReplayHeader(file.path.string())) found.push_back(file);
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

SavedReplay saveReplayInFolder(const std::string& folder, const Replay& replay) {
    std::error_code ignored;
    fs::create_directories(folder, ignored);  // if it cannot be made, writing says why
    std::vector<SavedFile> saved = replaysIn(folder);
    const long next = saved.empty() ? 1 : saved.back().number + 1;
    const std::time_t now = std::time(nullptr);
    const std::vector<uint8_t> bytes = encodeReplay(replay);
    SavedReplay result;
    // Another copy of the game saving at the same moment may take a number first: then
    // the next one is free.
    result.path = writeNewFile(
        folder, [&](int attempt) { return replayFileName(next + attempt, now, replay); },
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
