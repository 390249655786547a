#pragma once

#include "platform/replay_file.h"

#include <cstddef>
#include <functional>
#include <string>

namespace platform {

class Form;
class Timer;

namespace replay {

// What a recorded event names, among the windows the program has loaded: null if that
// window is not loaded, or has no such timer.
Form* formOf(const Event& event, const Vocabulary& vocabulary);
Timer* timerOf(const Event& event, const Vocabulary& vocabulary);

// A recorded input (move, click, key, access key, close request, typing, pick, press) as
// the model's entry point that took it, ready to run on the program's thread; empty if
// the event names no control of a loaded window.
std::function<void()> inputOf(const Event& event, const Replay& replay,
                              const Vocabulary& vocabulary);

// A short description of an event, for messages: "tick clock Timer1".
std::string describe(const Event& event, const Replay& replay, const Vocabulary& vocabulary);

// The rule both players follow. A recorded `exit` holds where the replayed program has
// ended with the status it names; every other event must be taken by a program that is
// still running. The first event that does not hold is where the replay went another way:
// the player stops there, says this line (after its own name) and ends with status 3.
bool exitHolds(const Event& event); // false for any other kind of event
std::string divergence(const std::string& path, std::size_t index, const Replay& replay,
                       const Vocabulary& vocabulary);
constexpr int divergedStatus = 3;

} // namespace replay
} // namespace platform
