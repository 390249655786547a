#include "platform/qt/x11_connection.h"

#include <QGuiApplication>

#ifdef ORVANTA_HAVE_XLIB
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#endif

namespace platform {

#ifdef ORVANTA_HAVE_XLIB
namespace {

// Xlib calls this from whichever thread first finds the connection broken; it must not
// return.
int onConnectionLost(Display*)
{
    std::fputs("orvanta: the connection to the X server broke; did the X server die?\n", stderr);
    std::exit(1);
}

} // namespace

void endInOneLineWhenTheXServerGoes()
{
    if (qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        XSetIOErrorHandler(onConnectionLost);
}

#else

void endInOneLineWhenTheXServerGoes() {}

#endif

} // namespace platform
