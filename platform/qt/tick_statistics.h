#pragma once

#include "platform/backend_guard.h"

#include "platform/timer_schedule.h"

#include <QElapsedTimer>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace platform {

// How faithfully the timers tick and the ball window moves, kept only when the
// environment variable ORVANTA_TICK_STATS is set, and written to stderr at the end.
class TickStatistics final : public TimerListener {
public:
    static TickStatistics* instance(); // null unless asked for

    void started(const std::string& timer, int intervalMs) override;
    void stopped(const std::string& timer) override;
    void ticked(const std::string& timer) override;
    void moved(const std::string& window);
    void report() const;

private:
    TickStatistics();

    struct Timer {
        int intervalMs = 0;
        std::int64_t startedAt = -1; // ns, while running
        std::int64_t runningNs = 0;
        std::int64_t lastTick = -1;
        std::int64_t ticks = 0;
        std::vector<std::int32_t> intervalsUs;
    };

    QElapsedTimer clock_;
    std::map<std::string, Timer> timers_;
    std::map<std::string, std::int64_t> moves_;
};

} // namespace platform
