#pragma once

#include "platform/property.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

class Form;

// What a backend does to make a timer tick: call Timer::tick() every interval.
class TimerPeer {
public:
    virtual ~TimerPeer() = default;
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
};

// A timer of a window. It ticks while Enabled, from the moment its window is loaded,
// whether the window is visible or not.
class Timer : public PropertyOwner {
public:
    Timer(Form& form, std::string name, int interval, bool enabled);
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer();

    Property<bool> Enabled;
    Property<int> Interval; // ms

    std::function<void()> onTimer;

    Form& form() const { return form_; }
    const std::string& name() const { return name_; }

    // For the toolkit:
    void startIfEnabled(); // when the window loads
    void stop();           // the program has ended
    void tick();           // the backend's tick: runs the handler unless it is still running
    bool isRunning() const { return running_; }
    // Timers due at the same instant fire in the order in which they were last started.
    std::uint64_t startSequence() const { return startSequence_; }

    void propertyChanged(Change change) override;

private:
    void restart();

    Form& form_;
    std::string name_;
    std::unique_ptr<TimerPeer> peer_;
    std::uint64_t startSequence_ = 0;
    bool running_ = false;
};

} // namespace platform
