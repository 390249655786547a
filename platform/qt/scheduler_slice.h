#pragma once

#include "platform/backend_guard.h"

#include <cstdint>

namespace platform {

// The time slice the kernel gives the calling thread when another wants its core, in ns.
// Since Linux 6.12 a thread may ask for its own; a shorter one lets its wake-ups go before
// the thread that runs. No privilege is needed.

// 0 where the kernel keeps no slice per thread (before Linux 6.12, or off Linux).
std::uint64_t schedulerSliceNs();

// Asks for `ns` (0: the kernel's default) if the thread runs under the normal policy;
// kernels without slices per thread ignore it.
void setSchedulerSliceNs(std::uint64_t ns);

} // namespace platform
