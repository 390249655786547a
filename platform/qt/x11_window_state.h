#pragma once

#include "platform/backend_guard.h"

#include <QtGui/qwindowdefs.h>

namespace platform {

// Keeps a top-level window off the taskbar and the pager. Call it while the window is
// unmapped (before each show): a window manager reads the state when it maps the window
// and drops it when the window is withdrawn. Does nothing off X11.
void keepOffTaskbar(WId window);

} // namespace platform
