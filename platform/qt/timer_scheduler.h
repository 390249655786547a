#pragma once

#include "platform/qt/precise_wake.h"
#include "platform/timer.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

class TickStatistics;

// Every timer of the program on one precise Qt timer: the program wakes once for all the
// ticks due together (the four 10 ms timers of a game are started in the same
// millisecond) and fires them in the order their timers were started, as the headless
// backend does. A tick that comes late keeps its timer's phase; ticks missed meanwhile
// are dropped, not replayed in a burst.
class TimerScheduler {
public:
    TimerScheduler();
    ~TimerScheduler();
    TimerScheduler(const TimerScheduler&) = delete;
    TimerScheduler& operator=(const TimerScheduler&) = delete;

    std::unique_ptr<TimerPeer> createPeer(Timer& timer);

private:
    class Peer;
    struct Tick {
        std::int64_t due; // ns on PreciseWake::Clock
        std::uint64_t sequence;
        Peer* peer;
        std::uint64_t generation; // a tick of a timer since stopped or restarted is void
    };

    static std::int64_t nowNs();
    void schedule(const Tick& tick);
    void forget(const Peer& peer);
    void dropStale();
    void rearm();
    void fireDue();

    PreciseWake wake_;
    std::int64_t armedFor_ = -1; // the due time the wake-up is set for, if any
    std::vector<Tick> ticks_; // latest first: the next tick at the back
    TickStatistics* statistics_;
};

} // namespace platform
