#pragma once
// Where the installed or built game finds its data and keeps its files: the data
// (images/, sounds/, music/) lies beside the executable in a build and, when installed,
// in ../share/tumblebout (or the data folder the build was configured with);
// options and scores live in a per-user folder.

#include <string>

// The data folder for an executable in `executableFolder`: that folder itself when it
// holds images/, else the installed data folder when that does; otherwise the
// executable's folder all the same (the game then runs without its pictures).
std::string findDataFolder(const std::string& executableFolder);

// Creates `userFolder` if needed and makes it the working directory. Returns false,
// leaving the working directory as it was, when the folder is empty, cannot be made
// or cannot be entered.
bool enterUserFolder(const std::string& userFolder);
