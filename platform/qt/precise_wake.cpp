#include "platform/qt/precise_wake.h"

#include "platform/qt/scheduler_slice.h"

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

#ifdef Q_OS_LINUX
// The work of a wake-up is a tenth of a millisecond, but a thread woken while another
// runs on its core waits for that one's slice to end (1.4 ms on a 2-core machine), a late
// tick now and then: ask for the shortest slice instead.
static void askForShortSlices()
{
    constexpr std::uint64_t shortestSliceNs = 100'000; // the shortest the kernel grants
    const std::uint64_t slice = schedulerSliceNs();
    if (slice == 0 || slice > shortestSliceNs)
        setSchedulerSliceNs(shortestSliceNs);
}
#endif

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
        askForShortSlices();
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
            std::uint64_t expirations = 0;
            if (::read(fd_, &expirations, sizeof expirations) <= 0)
                return;
            lastExpiry_ = next_ + period_ * static_cast<long long>(expirations - 1);
            next_ = lastExpiry_ + period_;
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
            // The timer repeats at the last step asked for: while the ticks keep one
            // interval (the ball's 10 ms), each round needs no new setting.
            if (period_.count() > 0 && when == next_)
                return;
            period_ = when > lastExpiry_ && lastExpiry_ != Clock::time_point() ? when - lastExpiry_
                                                                               : nanoseconds(0);
            next_ = when;
            itimerspec spec{};
            // An absolute zero would disarm the timer; a time past wakes at once anyway.
            spec.it_value = timespecOf(std::max<nanoseconds::rep>(
                1, duration_cast<nanoseconds>(when.time_since_epoch()).count()));
            spec.it_interval = timespecOf(period_.count());
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
            period_ = nanoseconds(0);
            return;
        }
#endif
        timer_.stop();
    }

private:
#ifdef Q_OS_LINUX
    static timespec timespecOf(nanoseconds::rep ns)
    {
        return {static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    }
#endif

    std::function<void()> onWake_;
    QTimer timer_;
#ifdef Q_OS_LINUX
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    Clock::time_point next_;       // when the timer goes off next
    Clock::time_point lastExpiry_; // when it last went off
    nanoseconds period_{0};        // and repeats, if at all
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
