#pragma once

#include "platform/replay_file.h"

#include <functional>

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

} // namespace replay
} // namespace platform
