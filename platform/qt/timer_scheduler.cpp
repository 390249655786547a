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
        interval_ = intervalMs;
        ++generation_;
        scheduler_.schedule(
            {scheduler_.nowMs() + intervalMs, timer_.startSequence(), this, generation_});
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
    std::int64_t interval_ = 0;
    std::uint64_t generation_ = 0;
};

TimerScheduler::TimerScheduler() : statistics_(TickStatistics::instance())
{
    clock_.start();
    // The ball moves every 10 ms: a coarse timer would make it stutter.
    wake_.setTimerType(Qt::PreciseTimer);
    wake_.setSingleShot(true);
    QObject::connect(&wake_, &QTimer::timeout, [this] { fireDue(); });
}

TimerScheduler::~TimerScheduler() = default;

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
        wake_.stop();
        return;
    }
    wake_.start(static_cast<int>(std::max<std::int64_t>(0, ticks_.back().due - nowMs())));
}

// The handler of a tick may wait in a message box; the wake-up is armed before it runs,
// so that the other timers tick in the box's loop.
void TimerScheduler::fireDue()
{
    const std::int64_t now = nowMs();
    for (dropStale(); !ticks_.empty() && ticks_.back().due <= now; dropStale()) {
        const Tick tick = ticks_.back();
        ticks_.pop_back();
        tick.peer->fire(tick, now);
    }
    rearm();
}

} // namespace platform
