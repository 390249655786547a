#pragma once

#include "platform/backend_guard.h"

#include <chrono>
#include <functional>
#include <memory>

namespace platform {

// Wakes the event loop at an instant of the steady clock, to the microsecond. Qt's own
// timers round every wait to whole milliseconds, so a 10 ms tick would come up to a
// millisecond late at random and the intervals between ticks would vary by twice that.
// On Linux a timerfd on the monotonic clock; elsewhere a precise QTimer.
class PreciseWake {
public:
    using Clock = std::chrono::steady_clock;

    explicit PreciseWake(std::function<void()> onWake);
    ~PreciseWake();
    PreciseWake(const PreciseWake&) = delete;
    PreciseWake& operator=(const PreciseWake&) = delete;

    // Replaces any wake-up asked before; one in the past wakes at once.
    void wakeAt(Clock::time_point when);
    void cancel();

private:
    class Source;
    std::unique_ptr<Source> source_;
};

} // namespace platform
