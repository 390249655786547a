#pragma once

#include "platform/backend_guard.h"

struct xcb_connection_t;

namespace platform {

// Qt's own connection to the X server; null when the game does not run on X11 (or was
// built without xcb).
xcb_connection_t* x11Connection();

// When the X server goes away, the game ends with status 1 and one line on stderr, however
// the loss is noticed. Qt's own reader thread says one line; Xlib, which Qt also drives,
// would add its own three-line report, so its fatal-error handler is replaced. Does
// nothing when the application does not run on X11. Call once the application exists.
void endInOneLineWhenTheXServerGoes();

} // namespace platform
