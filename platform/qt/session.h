#pragma once

#include "platform/backend_guard.h"

namespace platform {

// SIGINT, SIGTERM and SIGHUP (the terminal going away) end the program as EndProgram
// does: through the event loop, at the next event, with status 0.
void endProgramOnTerminationSignals();

} // namespace platform
