#include "platform/qt/scheduler_slice.h"

#ifdef __linux__
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace platform {

#ifdef __linux__
namespace {

// The kernel's struct sched_attr, which no glibc header declares.
struct SchedulerAttributes {
    std::uint32_t size, sched_policy;
    std::uint64_t sched_flags;
    std::int32_t sched_nice;
    std::uint32_t sched_priority;
    std::uint64_t sched_runtime, sched_deadline, sched_period;
};

constexpr std::uint32_t normalPolicy = 0; // SCHED_OTHER

bool readAttributes(SchedulerAttributes& attributes)
{
    return ::syscall(SYS_sched_getattr, 0, &attributes, sizeof attributes, 0) == 0;
}

} // namespace

std::uint64_t schedulerSliceNs()
{
    SchedulerAttributes attributes{};
    return readAttributes(attributes) ? attributes.sched_runtime : 0;
}

void setSchedulerSliceNs(std::uint64_t ns)
{
    SchedulerAttributes attributes{};
    if (!readAttributes(attributes) || attributes.sched_policy != normalPolicy)
        return;
    attributes.size = sizeof attributes;
    attributes.sched_flags = 0;
    attributes.sched_runtime = ns; // nice and policy stay as they are
    ::syscall(SYS_sched_setattr, 0, &attributes, 0);
}
#else
std::uint64_t schedulerSliceNs() { return 0; }
void setSchedulerSliceNs(std::uint64_t) {}
#endif

} // namespace platform
