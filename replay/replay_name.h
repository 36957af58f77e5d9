#pragma once
// The names of saved replays: a saving number, the local date and time and the mode
// ("00042_2026-12-08_21-04-33_versus.tbr", "..._campaign-level-7.tbr",
// "..._coop-level-12.tbr"). Earlier versions named them by date, time and mode alone,
// a second's later ones taking "_002", "_003", ...

#include <ctime>
#include <string>
#include <string_view>

struct Replay;

// The name of the replay saved at `savedAt` under `number`.
std::string replayFileName(long number, std::time_t savedAt, const Replay& replay);
// The saving number in a replay's name: 0 for an earlier version's name, older than any
// numbered one; -1 for a name the game does not give.
long replayNumberOf(std::string_view name);
