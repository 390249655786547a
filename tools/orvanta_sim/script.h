#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvanta::sim {

// One line of a play script: what the player does, and when (ms of virtual time).
struct ScriptEvent {
    enum class Kind { Move, Click, Key, Answer };
    std::int64_t time = 0;
    Kind kind = Kind::Move;
    float x = 0, y = 0; // Move: twips from the ball window's top-left corner
    int key = 0;        // Key: the character code
    bool yes = false;   // Answer: to the next exit question
    int line = 0;
};

struct ScriptError {
    int line;
    std::string message;
};

// A word from the input as a message quotes it: cut after a few dozen bytes, at the start
// of a character, so that a huge token cannot flood the terminal, and escaped as the
// replay reader escapes, so that it cannot speak to it.
std::string shortened(const std::string& word);

// Parses a play script: one event a line, in time order; '#' lines and blank lines are
// ignored. Throws ScriptError for the first line it cannot read.
std::vector<ScriptEvent> parseScript(const std::string& text);

} // namespace orvanta::sim
