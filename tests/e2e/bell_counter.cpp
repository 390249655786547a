// Prints a line for every bell that the X server rings, until it is stopped.

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <cstdio>

int main()
{
    int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    Display* display = XkbOpenDisplay(nullptr, &event, &error, &major, &minor, nullptr);
    if (!display) {
        std::fprintf(stderr, "bell_counter: cannot open the display with Xkb\n");
        return 1;
    }
    (void)opcode;
    XkbSelectEvents(display, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) {
        XEvent e;
        XNextEvent(display, &e);
        if (e.type == event && reinterpret_cast<XkbEvent&>(e).any.xkb_type == XkbBellNotify) {
            std::printf("bell\n");
            std::fflush(stdout);
        }
    }
}
