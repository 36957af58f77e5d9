#pragma once
// The headless runner's command line.

#include <optional>
#include <string>
#include <vector>

#include "net/impaired_transport.h"
#include "online/online_options.h"

struct FrameFile {
    int frame = 0;      // after this many presented frames
    std::string path;
};

struct RunnerOptions {
    std::string dataFolder;   // --data; empty: the runner's own folder
    std::string workFolder;   // --dir; empty: the current folder
    std::optional<int> startMs;  // --start-ms; none: the system clock's counter, as the game has it
    std::string inputPath;    // --input
    std::string replayPath;   // --replay: play this replay instead of the game
    int frames = -1;          // --frames, required: the run ends after this many frames
    std::vector<FrameFile> dumps;  // --dump N:FILE
    std::vector<FrameFile> shots;  // --shot N:FILE
    // An online series instead of the game (--host PORT, --join ADDRESS:PORT|CODE|lan,
    // --lobby HOST[:PORT], --lan, --coop, --input-delay N); frame 0 is its first frame,
    // and the frames are confirmed ones. A host listens on the loopback interface only,
    // unless it is to be found through an invite service (--lobby) or the LAN (--lan).
    OnlineOptions online;
    Impairment impairment;    // --net-delay MS, --net-loss PERCENT: this side's outgoing packets
    bool realTime = false;    // --real-time: online, one tick per 60th of a second, as in a window
};

struct ParsedArgs {
    RunnerOptions options;
    std::string error;  // one line naming the bad argument; empty when all is well
};

// `args` are the arguments after the program name. Each option takes its value as the
// next argument or after '=' ("--frames 10" or "--frames=10"), except --coop, --lan and
// --real-time, which take none. --frames is required, and no dump or shot may ask for a frame after the
// last.
ParsedArgs parseRunnerArgs(const std::vector<std::string>& args);
