#pragma once

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
};

// Plays one run of the program on the headless backend as the options say, writes the
// trace (if asked) and the closing JSON line to `out`, and returns the exit status:
// 0, or 1 after a run-time error.
int simulate(const Options& options, std::ostream& out);

} // namespace orvanta::sim
