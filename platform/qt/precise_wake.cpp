#include "platform/qt/precise_wake.h"

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>

#ifdef Q_OS_LINUX
#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>
#endif

namespace platform {

using namespace std::chrono;

// A timerfd where there is one (steady_clock is CLOCK_MONOTONIC on Linux, the clock it
// counts on), else a precise QTimer.
class PreciseWake::Source {
public:
    explicit Source(std::function<void()> onWake) : onWake_(std::move(onWake))
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this] { onWake_(); });
#ifdef Q_OS_LINUX
        fd_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
        if (fd_ < 0)
            return;
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
            std::uint64_t expirations = 0;
            if (::read(fd_, &expirations, sizeof expirations) > 0)
                onWake_();
        });
#endif
    }

    ~Source()
    {
#ifdef Q_OS_LINUX
        notifier_.reset();
        if (fd_ >= 0)
            ::close(fd_);
#endif
    }

    void wakeAt(Clock::time_point when)
    {
#ifdef Q_OS_LINUX
        if (fd_ >= 0) {
            // An absolute zero would disarm the timer; a time past wakes at once anyway.
            const auto ns = std::max<nanoseconds::rep>(
                1, duration_cast<nanoseconds>(when.time_since_epoch()).count());
            itimerspec spec{};
            spec.it_value.tv_sec = static_cast<time_t>(ns / 1000000000);
            spec.it_value.tv_nsec = static_cast<long>(ns % 1000000000);
            ::timerfd_settime(fd_, TFD_TIMER_ABSTIME, &spec, nullptr);
            return;
        }
#endif
        // Rounded up: a wake-up before the instant would find nothing due.
        const auto wait = ceil<milliseconds>(when - Clock::now()).count();
        timer_.start(static_cast<int>(std::max<milliseconds::rep>(0, wait)));
    }

    void cancel()
    {
#ifdef Q_OS_LINUX
        if (fd_ >= 0) {
            const itimerspec disarmed{};
            ::timerfd_settime(fd_, TFD_TIMER_ABSTIME, &disarmed, nullptr);
            return;
        }
#endif
        timer_.stop();
    }

private:
    std::function<void()> onWake_;
    QTimer timer_;
#ifdef Q_OS_LINUX
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
#endif
};

PreciseWake::PreciseWake(std::function<void()> onWake)
    : source_(std::make_unique<Source>(std::move(onWake)))
{
}

PreciseWake::~PreciseWake() = default;

void PreciseWake::wakeAt(Clock::time_point when) { source_->wakeAt(when); }

void PreciseWake::cancel() { source_->cancel(); }

} // namespace platform
