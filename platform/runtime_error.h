#pragma once

#include <string>

namespace platform {

// An error raised inside a handler. Handlers trap nothing: the dispatch boundary shows it
// in the run-time error box and ends the program.
struct RuntimeError {
    int number;
    std::string description;
};

inline RuntimeError overflowError() { return {6, "Overflow"}; }

} // namespace platform
