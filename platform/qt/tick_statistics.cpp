#include "platform/qt/tick_statistics.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace platform {

TickStatistics* TickStatistics::instance()
{
    static TickStatistics* statistics =
        std::getenv("ORVANTA_TICK_STATS") ? new TickStatistics() : nullptr;
    return statistics;
}

TickStatistics::TickStatistics() { clock_.start(); }

void TickStatistics::started(const std::string& timer, int intervalMs)
{
    Timer& t = timers_[timer];
    stopped(timer);
    t.intervalMs = intervalMs;
    t.startedAt = clock_.nsecsElapsed();
    t.lastTick = -1;
}

void TickStatistics::stopped(const std::string& timer)
{
    Timer& t = timers_[timer];
    if (t.startedAt >= 0)
        t.runningNs += clock_.nsecsElapsed() - t.startedAt;
    t.startedAt = -1;
}

void TickStatistics::ticked(const std::string& timer)
{
    Timer& t = timers_[timer];
    const std::int64_t now = clock_.nsecsElapsed();
    if (t.lastTick >= 0)
        t.intervalsUs.push_back(static_cast<std::int32_t>((now - t.lastTick) / 1000));
    t.lastTick = now;
    ++t.ticks;
}

void TickStatistics::moved(const std::string& window) { ++moves_[window]; }

void TickStatistics::report() const
{
    const std::int64_t now = clock_.nsecsElapsed();
    for (const auto& [name, t] : timers_) {
        const std::int64_t running = t.runningNs + (t.startedAt >= 0 ? now - t.startedAt : 0);
        const double nominal = t.intervalMs > 0 ? running / (t.intervalMs * 1e6) : 0;
        std::vector<std::int32_t> sorted = t.intervalsUs;
        std::sort(sorted.begin(), sorted.end());
        const auto percentile = [&](double p) {
            return sorted.empty() ? 0.0
                                  : sorted[static_cast<std::size_t>(p * (sorted.size() - 1))] / 1e3;
        };
        std::fprintf(stderr,
                     "tick-stats timer %s interval_ms=%d ticks=%lld nominal=%.0f fidelity=%.2f%% "
                     "p99_ms=%.2f max_ms=%.2f\n",
                     name.c_str(), t.intervalMs, static_cast<long long>(t.ticks), nominal,
                     nominal > 0 ? 100.0 * t.ticks / nominal : 0.0, percentile(0.99),
                     sorted.empty() ? 0.0 : sorted.back() / 1e3);
    }
    for (const auto& [window, moves] : moves_)
        std::fprintf(stderr, "tick-stats moves %s %lld\n", window.c_str(),
                     static_cast<long long>(moves));
}

} // namespace platform
