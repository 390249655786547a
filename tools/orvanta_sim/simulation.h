#pragma once

#include "platform/replay/format.h"
#include "tools/orvanta_sim/script.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace orvanta::sim {

struct Options {
    int screenWidth = 1024; // pixels
    int screenHeight = 768;
    std::string name = "Player";
    int minutes = 1;
    std::vector<ScriptEvent> script;
    bool trace = false;
    std::optional<std::int64_t> until; // ms
    // A recording to play instead of the script; its screen size is the one above.
    std::optional<platform::replay::Replay> replay;
    std::string replayPath; // for messages
    // Where to record the run, in virtual ms (a scripted run only).
    std::string recordPath;
};

// Plays one run of the program on the headless backend as the options say, writes the
// trace (if asked) and the closing JSON line to `out`, and returns the exit status:
// 0, or 1 after a run-time error, or 3 if a replay went another way than its recording
// (said on stderr).
int simulate(const Options& options, std::ostream& out);

} // namespace orvanta::sim
