#include "platform/timer_schedule.h"

#include "platform/form.h"

#include <algorithm>
#include <chrono>

namespace platform {

class TimerSchedule::Peer final : public TimerPeer {
public:
    Peer(TimerSchedule& schedule, Timer& timer)
        : schedule_(schedule), timer_(timer), name_(timer.form().className() + "." + timer.name())
    {
        schedule_.peers_.push_back(this);
    }
    ~Peer() override { schedule_.forget(*this); }

    void start(int intervalMs) override
    {
        interval_ = intervalMs;
        running_ = true;
        ++generation_; // whatever was scheduled before is void
        if (!schedule_.driven_)
            schedule_.schedule(
                {schedule_.nowMs_() + intervalMs, timer_.startSequence(), this, generation_});
        if (schedule_.listener_)
            schedule_.listener_->started(name_, intervalMs);
    }
    void stop() override
    {
        running_ = false;
        ++generation_;
        if (schedule_.listener_)
            schedule_.listener_->stopped(name_);
    }

    bool running() const { return running_; }

    bool isCurrent(const Tick& tick) const { return tick.generation == generation_; }
    Timer& timer() const { return timer_; }

    void tick()
    {
        if (schedule_.listener_)
            schedule_.listener_->ticked(name_);
        timer_.tick();
    }

    void fire(const Tick& tick)
    {
        // The schedule keeps its phase; a tick that finds the handler still running is
        // dropped by the timer itself.
        const std::int64_t now = schedule_.nowMs_();
        std::int64_t next = tick.due + interval_;
        if (next <= now)
            next = now + interval_;
        schedule_.schedule({next, tick.sequence, this, generation_});
        this->tick();
    }

private:
    TimerSchedule& schedule_;
    Timer& timer_;
    std::string name_;
    std::int64_t interval_ = 0;
    std::uint64_t generation_ = 0;
    bool running_ = false;
};

std::int64_t TimerSchedule::steadyClockMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

TimerSchedule::TimerSchedule(TimerListener* listener) : TimerSchedule(steadyClockMs, listener) {}

TimerSchedule::TimerSchedule(std::function<std::int64_t()> nowMs, TimerListener* listener)
    : nowMs_(std::move(nowMs)), listener_(listener)
{
}

TimerSchedule::~TimerSchedule() = default;

std::unique_ptr<TimerPeer> TimerSchedule::createPeer(Timer& timer)
{
    return std::make_unique<Peer>(*this, timer);
}

// A new tick is usually the latest: finding its place takes a step or two from the front.
void TimerSchedule::schedule(const Tick& tick)
{
    const auto later = [](const Tick& a, const Tick& b) {
        return a.due != b.due ? a.due > b.due : a.sequence > b.sequence;
    };
    ticks_.insert(std::find_if(ticks_.begin(), ticks_.end(),
                               [&](const Tick& other) { return later(tick, other); }),
                  tick);
    if (onScheduled)
        onScheduled();
}

void TimerSchedule::forget(const Peer& peer)
{
    std::erase_if(ticks_, [&](const Tick& tick) { return tick.peer == &peer; });
    std::erase(peers_, &peer);
}

void TimerSchedule::dropStale()
{
    while (!ticks_.empty() && !ticks_.back().peer->isCurrent(ticks_.back()))
        ticks_.pop_back();
}

std::optional<std::int64_t> TimerSchedule::nextDue()
{
    if (driven_)
        return std::nullopt;
    dropStale();
    if (ticks_.empty())
        return std::nullopt;
    return ticks_.back().due;
}

Timer& TimerSchedule::fireNext()
{
    dropStale();
    const Tick tick = ticks_.back();
    ticks_.pop_back();
    Timer& timer = tick.peer->timer();
    tick.peer->fire(tick);
    return timer;
}

TimerSchedule::Peer* TimerSchedule::peerOf(const Timer& timer) const
{
    const auto peer = std::find_if(peers_.begin(), peers_.end(),
                                   [&](const Peer* p) { return &p->timer() == &timer; });
    return peer == peers_.end() ? nullptr : *peer;
}

bool TimerSchedule::canTick(const Timer& timer) const
{
    const Peer* peer = peerOf(timer);
    return peer && peer->running() && !timer.isRunning();
}

void TimerSchedule::tick(Timer& timer)
{
    if (Peer* peer = peerOf(timer))
        peer->tick();
}

} // namespace platform
