#pragma once

#include "platform/backend_guard.h"

#include "platform/qt/precise_wake.h"
#include "platform/timer_schedule.h"

#include <QObject>
#include <cstdint>
#include <memory>

namespace platform {

// The model's timer schedule on the real clock, with one precise wake-up: the program
// wakes once for all the ticks due together (the four 10 ms timers of a game are started
// in the same millisecond), at the instant they are due.
class TimerScheduler {
public:
    TimerScheduler();
    ~TimerScheduler();
    TimerScheduler(const TimerScheduler&) = delete;
    TimerScheduler& operator=(const TimerScheduler&) = delete;

    std::unique_ptr<TimerPeer> createPeer(Timer& timer) { return schedule_.createPeer(timer); }
    // A replay's ticks: see TimerSchedule::drive.
    void drive() { schedule_.drive(); }
    bool canTick(const Timer& timer) const { return schedule_.canTick(timer); }
    void tick(Timer& timer) { schedule_.tick(timer); }

private:
    void scheduled();
    void rearm();
    void fireDue();

    PreciseWake wake_;
    TimerSchedule schedule_;
    std::int64_t armedFor_ = -1; // the due time the wake-up is set for, if any
    int firing_ = 0;             // fireDue calls under way (a handler's box nests one)
    bool rearmPending_ = false;
    QObject roundEnd_; // for as long as the scheduler lives
};

} // namespace platform
