#pragma once

#include "platform/replay_file.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace platform {
class SimBackend;
}

namespace orvanta::sim {

// Plays a recording on the headless backend: each event at its recorded ms, the timers
// ticking only where the file says, the message boxes answered as the file says. Start
// the program with the backend's ticks driven (SimBackend::driveTicks).
class ReplayDriver {
public:
    ReplayDriver(platform::SimBackend& sim, const platform::replay::Replay& replay,
                 const platform::replay::Vocabulary& vocabulary)
        : sim_(sim), replay_(replay), vocabulary_(vocabulary)
    {
    }

    // Plays the events up to and including ms `until`, calling `played` after each.
    // Stops at the first event that does not hold (replay::exitHolds) and returns its index.
    std::optional<std::size_t>
    play(std::int64_t until, const std::function<void(const platform::replay::Event&)>& played);

    // The last event played, or null.
    const platform::replay::Event* last() const { return last_; }
    bool playedAll() const { return played_ == replay_.events.size(); }

private:
    bool deliver(const platform::replay::Event& event);

    platform::SimBackend& sim_;
    const platform::replay::Replay& replay_;
    const platform::replay::Vocabulary& vocabulary_;
    const platform::replay::Event* last_ = nullptr;
    std::size_t played_ = 0;
};

} // namespace orvanta::sim
