#pragma once
// The folder of saved replays: one file per match, numbered in the order the matches
// were saved (see replay/replay_name.h); the newest 50 are kept. The number, not the
// time, says which replay is newest, so a clock set back or a new time zone cannot make
// the newest look old. Replays named by earlier versions, by date and time alone, still
// count, as older than any numbered one. Only files of these names that begin with a
// replay's header count: nothing else in the folder is ever removed or picked.

#include <string>

struct Replay;

constexpr int KeptReplays = 50;
// The replay folder's name inside the per-user folder.
constexpr const char* ReplayFolderName = "replays";

struct SavedReplay {
    std::string path;   // the new file, or "" when none was written
    std::string error;  // when none was: one line saying why
};

// Writes the replay as a new file in `folder` (made if missing) under the next number,
// then removes the oldest replays beyond the newest 50, never the one just written. A
// replay that cannot be written is also said in one line on stderr.
SavedReplay saveReplayInFolder(const std::string& folder, const Replay& replay);
// The newest replay in `folder`, or "" when there is none.
std::string newestReplayIn(const std::string& folder);
