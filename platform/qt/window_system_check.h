#pragma once

#include "platform/backend_guard.h"

#include <string>

namespace platform {

// Checks, before the QApplication exists, that Qt will be able to open its platform
// plugin and show windows on it. Qt itself aborts with a core dump and several lines when
// it cannot, and a scale factor of 0 or NaN leaves every window invisible. On Linux the
// xcb platform is chosen when none is asked for (a Wayland client cannot place its own
// windows). Returns false with one line saying why if the game cannot be shown.
bool windowSystemUsable(int argc, char* argv[], std::string& why);

// A last net under the check: a Qt platform plugin that still fails to start while the
// QApplication is made ends the program with one line and status 1, not an abort. Qt's
// platform warnings are held back until the application object stands. From the first
// call on, Qt's messages show control and format characters escaped, as the game's own do.
void catchPlatformFailure();
void platformStarted();

} // namespace platform
