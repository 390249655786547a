#include "platform/qt/timer_scheduler.h"

#include "platform/qt/tick_statistics.h"

#include <algorithm>

namespace platform {

TimerScheduler::TimerScheduler() : schedule_([this] { return nowMs(); }, TickStatistics::instance())
{
    clock_.start();
    // The ball moves every 10 ms: a coarse timer would make it stutter.
    wake_.setTimerType(Qt::PreciseTimer);
    wake_.setSingleShot(true);
    QObject::connect(&wake_, &QTimer::timeout, [this] { fireDue(); });
    schedule_.onScheduled = [this] { rearm(); };
}

TimerScheduler::~TimerScheduler() = default;

void TimerScheduler::rearm()
{
    const std::optional<std::int64_t> due = schedule_.nextDue();
    if (!due) {
        wake_.stop();
        return;
    }
    wake_.start(static_cast<int>(std::max<std::int64_t>(0, *due - nowMs())));
}

// The handler of a tick may wait in a message box; the schedule arms the wake-up again
// before the handler runs, so that the other timers tick in the box's loop.
void TimerScheduler::fireDue()
{
    const std::int64_t now = nowMs();
    for (auto due = schedule_.nextDue(); due && *due <= now; due = schedule_.nextDue())
        schedule_.fireNext();
    rearm();
}

} // namespace platform
