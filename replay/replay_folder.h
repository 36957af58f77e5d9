#pragma once
// The folder of saved replays: one file per match, named by date, time and mode
// ("2026-12-08_21-04-33_versus.tbr", "..._campaign-level-7.tbr",
// "..._coop-level-12.tbr"), so that names sort oldest first; the newest 50 are kept.

#include <string>

struct Replay;

constexpr int KeptReplays = 50;
// The replay folder's name inside the per-user folder.
constexpr const char* ReplayFolderName = "replays";

// Writes the replay as a new file in `folder` (made if missing), then removes the
// oldest replays beyond the newest 50. Returns the new file's path, or "" when it
// could not be written.
std::string saveReplayInFolder(const std::string& folder, const Replay& replay);
// The newest replay in `folder`, or "" when there is none.
std::string newestReplayIn(const std::string& folder);
