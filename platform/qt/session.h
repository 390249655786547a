#pragma once

#include "platform/backend_guard.h"

#include <string>

namespace platform {

// Whether the X server that DISPLAY names answers; if not, why. Qt aborts when it cannot
// open its xcb platform, so the program asks first.
bool xServerReachable(std::string& why);

// SIGINT and SIGTERM end the program as EndProgram does: through the event loop, at the
// next event, with status 0.
void endProgramOnTerminationSignals();

} // namespace platform
