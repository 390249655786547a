#include "platform/qt/timer_scheduler.h"

#include "platform/form.h"
#include "platform/qt/tick_statistics.h"

#include <algorithm>

namespace platform {

class TimerScheduler::Peer final : public TimerPeer {
public:
    Peer(TimerScheduler& scheduler, Timer& timer)
        : scheduler_(scheduler), timer_(timer),
          name_(timer.form().className() + "." + timer.name())
    {
    }
    ~Peer() override { scheduler_.forget(*this); }

    void start(int intervalMs) override
    {
        interval_ = std::int64_t{intervalMs} * 1000000;
        ++generation_;
        scheduler_.schedule(
            {scheduler_.nowNs() + interval_, timer_.startSequence(), this, generation_});
        if (scheduler_.statistics_)
            scheduler_.statistics_->started(name_, intervalMs);
    }
    void stop() override
    {
        ++generation_;
        if (scheduler_.statistics_)
            scheduler_.statistics_->stopped(name_);
    }

    bool isCurrent(const Tick& tick) const { return tick.generation == generation_; }

    void fire(const Tick& tick, std::int64_t now)
    {
        std::int64_t next = tick.due + interval_;
        if (next <= now)
            next = now + interval_;
        scheduler_.schedule({next, tick.sequence, this, generation_});
        if (scheduler_.statistics_)
            scheduler_.statistics_->ticked(name_);
        timer_.tick();
    }

private:
    TimerScheduler& scheduler_;
    Timer& timer_;
    std::string name_;
    std::int64_t interval_ = 0; // ns
    std::uint64_t generation_ = 0;
};

// The ball moves every 10 ms: a coarse wake-up would make it stutter.
TimerScheduler::TimerScheduler()
    : wake_([this] { fireDue(); }), statistics_(TickStatistics::instance())
{
}

TimerScheduler::~TimerScheduler() = default;

std::int64_t TimerScheduler::nowNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(PreciseWake::Clock::now().time_since_epoch()).count();
}

std::unique_ptr<TimerPeer> TimerScheduler::createPeer(Timer& timer)
{
    return std::make_unique<Peer>(*this, timer);
}

void TimerScheduler::schedule(const Tick& tick)
{
    const auto later = [](const Tick& a, const Tick& b) {
        return a.due != b.due ? a.due > b.due : a.sequence > b.sequence;
    };
    ticks_.insert(std::find_if(ticks_.begin(), ticks_.end(),
                               [&](const Tick& other) { return later(tick, other); }),
                  tick);
    rearm();
}

void TimerScheduler::forget(const Peer& peer)
{
    std::erase_if(ticks_, [&](const Tick& tick) { return tick.peer == &peer; });
}

void TimerScheduler::dropStale()
{
    while (!ticks_.empty() && !ticks_.back().peer->isCurrent(ticks_.back()))
        ticks_.pop_back();
}

void TimerScheduler::rearm()
{
    dropStale();
    if (ticks_.empty()) {
        if (armedFor_ >= 0)
            wake_.cancel();
        armedFor_ = -1;
        return;
    }
    const std::int64_t next = ticks_.back().due;
    if (next == armedFor_) // each tick fired reschedules itself: mostly nothing changes
        return;
    armedFor_ = next;
    using namespace std::chrono;
    wake_.wakeAt(PreciseWake::Clock::time_point(nanoseconds(next)));
}

// The handler of a tick may wait in a message box; the wake-up is armed before it runs,
// so that the other timers tick in the box's loop.
void TimerScheduler::fireDue()
{
    armedFor_ = -1; // spent
    const std::int64_t now = nowNs();
    for (dropStale(); !ticks_.empty() && ticks_.back().due <= now; dropStale()) {
        const Tick tick = ticks_.back();
        ticks_.pop_back();
        tick.peer->fire(tick, now);
    }
    rearm();
}

} // namespace platform
