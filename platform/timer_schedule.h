#pragma once

#include "platform/timer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Told of every timer's start, stop and tick, by name ("clock.Timer1").
class TimerListener {
public:
    virtual ~TimerListener() = default;
    virtual void started(const std::string& timer, int intervalMs) = 0;
    virtual void stopped(const std::string& timer) = 0;
    virtual void ticked(const std::string& timer) = 0;
};

// The ticks of every timer of a program, on the real clock or one the backend supplies
// (the headless backend's virtual clock, a test's). Ticks due together fire in the order
// their timers were last started. A tick that comes late keeps its timer's phase; ticks
// missed meanwhile are dropped, not replayed in a burst. The backend asks when the next
// tick is due and fires it when its clock gets there.
class TimerSchedule {
public:
    // The real clock: std::chrono::steady_clock, in whole ms since its epoch.
    static std::int64_t steadyClockMs();

    explicit TimerSchedule(TimerListener* listener = nullptr);
    explicit TimerSchedule(std::function<std::int64_t()> nowMs, TimerListener* listener = nullptr);
    ~TimerSchedule();
    TimerSchedule(const TimerSchedule&) = delete;
    TimerSchedule& operator=(const TimerSchedule&) = delete;

    std::unique_ptr<TimerPeer> createPeer(Timer& timer);

    std::int64_t nowMs() const { return nowMs_(); }
    // When the next tick is due, or nothing if no timer runs.
    std::optional<std::int64_t> nextDue();
    // Fires the next tick: schedules its timer's following tick first, then runs the
    // handler (which may wait in a message box while other timers tick). Returns the timer.
    Timer& fireNext();

    // Called whenever a tick is added, so that a real clock can set its wake-up.
    std::function<void()> onScheduled;

    // A replay drives the ticks: from now on none falls due by itself (nextDue has none),
    // and the player fires each where the recording has it. The timers still start and
    // stop as the program says, so a tick of a timer that does not run is refused.
    void drive() { driven_ = true; }
    // Whether `timer` runs and is not inside its own handler, so that a tick would reach it.
    bool canTick(const Timer& timer) const;
    // One tick of `timer` now; see canTick.
    void tick(Timer& timer);

private:
    class Peer;
    struct Tick {
        std::int64_t due;       // ms on the backend's clock
        std::uint64_t sequence; // the timer's start order
        Peer* peer;
        std::uint64_t generation; // a tick of a timer since stopped or restarted is void
    };

    void schedule(const Tick& tick);
    Peer* peerOf(const Timer& timer) const;
    void forget(const Peer& peer);
    void dropStale();

    std::function<std::int64_t()> nowMs_;
    TimerListener* listener_;
    std::vector<Tick> ticks_; // latest first: the next tick at the back
    std::vector<Peer*> peers_;
    bool driven_ = false;
};

} // namespace platform
