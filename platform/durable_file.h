#pragma once
// Putting files on disk whole: written out, synced, and only then given their name, so
// that a crash, a full disk or another copy of the game saving at the same moment never
// leaves a half-written file or takes one already there.

#include <functional>
#include <string>

// Writes all of `content` to the open file and puts it on disk; closes the file either
// way. False when any of it failed.
bool writeDurably(int fd, const std::string& content);
// Puts on disk the names given in the folder holding `path` (a rename, a new file).
void syncFolderOf(const std::string& path);

// Writes `content` to a new file in `folder` named by `nameFor(0)`, or by
// `nameFor(1)`, `nameFor(2)`, ... while the names before are taken: the file is written
// whole under a temporary name that no one else uses, then given the first free name in
// one step, so two programs saving at once keep both files. Returns the new file's
// path, or "" with the system's reason in `error`. The temporary name starts with a dot.
std::string writeNewFile(const std::string& folder, const std::function<std::string(int attempt)>& nameFor,
                         const std::string& content, std::string& error);
