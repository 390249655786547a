#include "platform/qt/timer_scheduler.h"

#include "platform/qt/round_end.h"
#include "platform/qt/tick_statistics.h"

namespace platform {

using namespace std::chrono;

TimerScheduler::TimerScheduler()
    : origin_(PreciseWake::Clock::now()), wake_([this] { fireDue(); }),
      schedule_([this] { return nowMs(); }, TickStatistics::instance())
{
    schedule_.onScheduled = [this] { scheduled(); };
    // A handler that waits in a message box runs the box's event loop: arm the wake-up
    // there, so that the other timers tick meanwhile.
    onEveryRoundEnd(roundEnd_, [this] {
        if (rearmPending_)
            rearm();
    });
}

TimerScheduler::~TimerScheduler() = default;

std::int64_t TimerScheduler::nowMs() const
{
    return duration_cast<milliseconds>(PreciseWake::Clock::now() - origin_).count();
}

// Each tick fired schedules its timer's next: the wake-up is set once, after the round,
// not once per timer.
void TimerScheduler::scheduled()
{
    if (firing_ > 0)
        rearmPending_ = true;
    else
        rearm();
}

void TimerScheduler::rearm()
{
    rearmPending_ = false;
    const std::optional<std::int64_t> due = schedule_.nextDue();
    if (!due) {
        if (armedFor_ >= 0)
            wake_.cancel();
        armedFor_ = -1;
        return;
    }
    if (*due == armedFor_)
        return;
    armedFor_ = *due;
    wake_.wakeAt(origin_ + milliseconds(*due));
}

void TimerScheduler::fireDue()
{
    armedFor_ = -1; // spent
    ++firing_;
    const std::int64_t now = nowMs();
    for (auto due = schedule_.nextDue(); due && *due <= now; due = schedule_.nextDue())
        schedule_.fireNext();
    --firing_;
    rearm();
}

} // namespace platform
