#include "platform/qt/precise_wake.h"

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>

#ifdef Q_OS_LINUX
#include <sys/syscall.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>
#endif

namespace platform {

using namespace std::chrono;

#ifdef Q_OS_LINUX
// The work of a wake-up is a tenth of a millisecond, but a thread woken while another
// runs on its core waits for that one's slice to end (1.4 ms on a 2-core machine), a late
// tick now and then. Since Linux 6.12 a thread may ask for shorter slices, which lets its
// wake-ups go first; older kernels ignore the request, and no privilege is needed.
static void askForShortSlices()
{
    struct { // the kernel's struct sched_attr, which no glibc header declares
        std::uint32_t size, sched_policy;
        std::uint64_t sched_flags;
        std::int32_t sched_nice;
        std::uint32_t sched_priority;
        std::uint64_t sched_runtime, sched_deadline, sched_period;
    } attributes{};
    constexpr std::uint32_t normalPolicy = 0;          // SCHED_OTHER
    constexpr std::uint64_t shortestSliceNs = 100'000; // the shortest the kernel grants
    if (::syscall(SYS_sched_getattr, 0, &attributes, sizeof attributes, 0) != 0 ||
        attributes.sched_policy != normalPolicy ||
        (attributes.sched_runtime > 0 && attributes.sched_runtime <= shortestSliceNs))
        return;
    attributes.size = sizeof attributes;
    attributes.sched_flags = 0;
    attributes.sched_runtime = shortestSliceNs;
    ::syscall(SYS_sched_setattr, 0, &attributes, 0);
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
