#pragma once
// The runner's online series (--host, --join): no splash and no menus, frame 0 is the
// series' first frame; the input script's arrows, Enter and Space (and, for the host,
// typed text) are the local player's keys on the frame they name, and ESC leaves.
// Dumps show the confirmed state at the start of their frame, so both sides' dumps of
// one frame are alike; a shot shows the frame as this side first drew it. The run
// ends gracefully at --frames, once the other side has confirmed them too; with
// --real-time it ticks 60 times a second, as a window does, else as fast as it can.
// A closing line on stdout gives the round trip, the corrections and the bytes a second.
// While the host waits, stderr gets its port, its invite code as soon as it has one
// ("INVITE CODE HXK4-MW7P") and a line if the invite service cannot be used; once the
// link is made, the joiner says how ("CONNECTED DIRECTLY ..." or "CONNECTED THROUGH
// THE RELAY ...") and the host the round trip and the input delay.

#include "tools/headless/input_script.h"
#include "tools/headless/runner_options.h"

class Game;

// Exit status: 0 when the frames are played or either player left; 1 after a lost
// connection, a desync or a dump not reached; 2 when the link cannot be made (refused,
// no host, no such code, no invite service, no opponent within 10 s). One line on
// stderr for each.
int runOnline(Game& game, const RunnerOptions& options, const ScriptResult& script);
