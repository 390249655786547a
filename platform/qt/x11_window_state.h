#pragma once

#include "platform/backend_guard.h"

#include <QPoint>
#include <QtGui/qwindowdefs.h>
#include <functional>

class QWindow;

namespace platform {

// Keeps a top-level window off the taskbar and the pager. Call it while the window is
// unmapped (before each show): a window manager reads the state when it maps the window
// and drops it when the window is withdrawn. Does nothing off X11.
void keepOffTaskbar(WId window);

// Calls `destroyed` with the id of each of the application's X windows that is destroyed
// while Qt still holds it (by another client: `xdotool windowclose`, xkill's cousins).
// Qt itself goes on as if the window were there. An empty function stops the watch.
// Does nothing off X11.
void watchDestroyedWindows(std::function<void(WId)> destroyed);

// Moves a shown top-level window to `logical` with one X request. Qt's own move also
// rewrites the window's size hints every time, and a window manager reads them again on
// each move of the ball. Returns false off X11: move it through Qt then.
bool moveOnX11(QWindow& window, QPoint logical);

} // namespace platform
