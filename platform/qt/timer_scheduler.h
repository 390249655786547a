#pragma once

#include "platform/backend_guard.h"

#include "platform/timer_schedule.h"

#include <QElapsedTimer>
#include <QTimer>
#include <memory>

namespace platform {

// The model's timer schedule on the real clock, with one precise Qt timer: the program
// wakes once for all the ticks due together (the four 10 ms timers of a game are started
// in the same millisecond).
class TimerScheduler {
public:
    TimerScheduler();
    ~TimerScheduler();
    TimerScheduler(const TimerScheduler&) = delete;
    TimerScheduler& operator=(const TimerScheduler&) = delete;

    std::unique_ptr<TimerPeer> createPeer(Timer& timer) { return schedule_.createPeer(timer); }

private:
    std::int64_t nowMs() const { return clock_.elapsed(); }
    void rearm();
    void fireDue();

    QElapsedTimer clock_;
    QTimer wake_;
    TimerSchedule schedule_;
};

} // namespace platform
