#pragma once

#include <string>

namespace orvanta {

// --record FILE and --replay FILE, taken out of the command line.
struct ReplayOptions {
    std::string record;
    std::string replay;
};

struct BadReplayOption {
    std::string message;
};

// Removes the two options and their values from argv; throws BadReplayOption for a value
// that is missing, an option given twice, or both together.
ReplayOptions takeReplayOptions(int& argc, char* argv[]);

} // namespace orvanta
