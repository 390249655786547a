// A desktop panel, as desktops have them: a dock window along the bottom or the top edge
// of the screen that reserves its strip with a strut, so that a window manager publishes
// a work area without it and keeps the windows it manages out of it.
// usage: panel <bottom|top> <height in pixels>
// Prints "ready" once the window is mapped and stays until it is stopped.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void setAtoms(Display* display, Window window, const char* property, const char* value)
{
    Atom atom = XInternAtom(display, value, False);
    XChangeProperty(display, window, XInternAtom(display, property, False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&atom), 1);
}

void setCardinals(Display* display, Window window, const char* property, const long* values,
                  int count)
{
    XChangeProperty(display, window, XInternAtom(display, property, False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(values), count);
}

} // namespace

int main(int argc, char* argv[])
{
    const bool bottom = argc == 3 && std::strcmp(argv[1], "bottom") == 0;
    const bool top = argc == 3 && std::strcmp(argv[1], "top") == 0;
    const int height = argc == 3 ? std::atoi(argv[2]) : 0;
    if ((!bottom && !top) || height <= 0) {
        std::fprintf(stderr, "usage: panel <bottom|top> <height in pixels>\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "panel: no X display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    const int width = DisplayWidth(display, screen);
    const int y = bottom ? DisplayHeight(display, screen) - height : 0;
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, y, width,
                                              height, 0, 0, 0x303030);
    XStoreName(display, window, "Panel");

    // Without a program-given position some managers put a dock where they like.
    XSizeHints hints{};
    hints.flags = USPosition | USSize | PMinSize | PMaxSize;
    hints.x = 0;
    hints.y = y;
    hints.width = hints.min_width = hints.max_width = width;
    hints.height = hints.min_height = hints.max_height = height;
    XSetWMNormalHints(display, window, &hints);
    setAtoms(display, window, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DOCK");

    // left, right, top, bottom, then the start and end of each strip along its edge.
    std::array<long, 12> strut{};
    strut[bottom ? 3 : 2] = height;
    strut[bottom ? 10 : 8] = 0;
    strut[bottom ? 11 : 9] = width - 1;
    setCardinals(display, window, "_NET_WM_STRUT_PARTIAL", strut.data(), 12);
    setCardinals(display, window, "_NET_WM_STRUT", strut.data(), 4);

    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    for (XEvent event;;) {
        XNextEvent(display, &event);
        if (event.type == MapNotify) {
            std::printf("ready\n");
            std::fflush(stdout);
        }
    }
}
