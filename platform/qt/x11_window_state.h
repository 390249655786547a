#pragma once

#include "platform/backend_guard.h"

#include <QtGui/qwindowdefs.h>
#include <functional>

namespace platform {

// Keeps a top-level window off the taskbar and the pager. Call it while the window is
// unmapped (before each show): a window manager reads the state when it maps the window
// and drops it when the window is withdrawn. Does nothing off X11.
void keepOffTaskbar(WId window);

// Calls `destroyed` with the id of each of the application's X windows that is destroyed
// while Qt still holds it (by another client: `xdotool windowclose`, xkill's cousins),
// learnt from its DestroyNotify or from a request that found it gone: possibly more than
// once, and for ids Qt has let go of itself. Qt goes on as if the window were there. An
// empty function stops the watch. Does nothing off X11.
void watchDestroyedWindows(std::function<void(WId)> destroyed);

} // namespace platform
