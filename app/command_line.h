#pragma once
// The game's command line: a table of options, parsed into a plain record, and the
// texts that --help, --version and a mistaken argument print. Parsing starts nothing;
// the program's entry acts on the record.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "online/online_options.h"

struct CommandLine {
    bool help = false;               // --help: print the help and exit
    bool version = false;            // --version: print the version and exit
    std::optional<bool> fullscreen;  // --fullscreen / --windowed, this run only; unset: the FULLSCREEN option
    std::string replay;              // --replay FILE: watch this replay instead of playing
    bool replayLast = false;         // --replay-last: watch the newest replay
    OnlineOptions online;            // --host [PORT], --join ADDRESS[:PORT]|CODE, --lobby, --coop, --input-delay N
    std::string error;               // why the arguments cannot be understood; empty when they can
};

// One option. `value` names its value as the usage shows it: empty when the option
// takes none, in brackets ("[PORT]") when it may be left out, bare ("FILE") when it
// must be given.
struct CommandOption {
    const char* name;
    const char* value;
    const char* help;
    // Stores the option and its value (empty when none was given) into the record;
    // false when the value is not acceptable.
    bool (*apply)(CommandLine& line, const std::string& value);
};

// The game's options, in the order the usage lists them.
std::span<const CommandOption> gameOptions();

// Reads the arguments that follow the program's name. An option's value may follow it
// as the next argument or be joined to it with '='; a value that may be left out is
// taken from the next argument only when that does not start with '-'. Where two
// options set the same field, the later one counts. Options that cannot go together
// (--coop or --input-delay without hosting, --lobby offline, a replay online)
// are an error.
CommandLine parseCommandLine(const std::vector<std::string>& args,
                             std::span<const CommandOption> options = gameOptions());

// "Usage: tumblebout [OPTION]..." and one line per option.
std::string usageText(std::span<const CommandOption> options = gameOptions());
// The usage, the keys, and where the game reads its data (`dataFolder`) and keeps its files.
std::string helpText(const std::string& dataFolder);
// "tumblebout" and the version number, on one line.
std::string versionText();
