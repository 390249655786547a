#pragma once

#include "platform/backend_guard.h"

#include <functional>

namespace platform {

// Asks Qt for its own event loop rather than GLib's, unless the environment says which
// (QT_NO_GLIB). The game adds no GLib sources, and GLib's loop costs about a fifth of the
// game's CPU time per round of ticks. Call before the application object is made.
void preferQtEventLoop();

// SIGINT, SIGTERM and SIGHUP (the terminal going away) end the program as EndProgram
// does: through the event loop, at the next event, with status 0; or, given `stop`, call
// that instead (a replay stops as Escape stops it). A hang-up ignored when the program
// starts (nohup) stays ignored.
void endProgramOnTerminationSignals(std::function<void()> stop = {});

} // namespace platform
