#include "platform/qt/timer_scheduler.h"

#include "platform/qt/round_end.h"
#include "platform/qt/tick_statistics.h"

#include <type_traits>

namespace platform {

using namespace std::chrono;

// The schedule keeps the steady clock's ms, the clock the wake-up is set on.
static_assert(std::is_same_v<PreciseWake::Clock, std::chrono::steady_clock>);

TimerScheduler::TimerScheduler()
    : wake_([this] { fireDue(); }), schedule_(TickStatistics::instance())
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
    wake_.wakeAt(PreciseWake::Clock::time_point(milliseconds(*due)));
}

void TimerScheduler::fireDue()
{
    armedFor_ = -1; // spent
    ++firing_;
    const std::int64_t now = schedule_.nowMs();
    for (auto due = schedule_.nextDue(); due && *due <= now; due = schedule_.nextDue())
        schedule_.fireNext();
    --firing_;
    rearm();
}

} // namespace platform
