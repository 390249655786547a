#include "platform/qt/x11_connection.h"

#include <QGuiApplication>

#ifdef ORVANTA_HAVE_XCB
#include <xcb/xcb.h>
#endif
#ifdef ORVANTA_HAVE_XLIB
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#endif

namespace platform {

xcb_connection_t* x11Connection()
{
#ifdef ORVANTA_HAVE_XCB
    // Other platforms may answer to the X11 interface too (offscreen does, with no
    // connection): only xcb's windows are X windows.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
#else
    return nullptr;
#endif
}

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
