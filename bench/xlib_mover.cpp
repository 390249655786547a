// A plain Xlib window of 64 x 64 pixels moved a given number of times a second, bouncing
// around the screen: the floor for anything that moves a window that often, to set
// beside the game in the benchmarks.
// usage: xlib_mover [--rate N] [--seconds S] [--override-redirect]
//   --rate N               moves a second (100)
//   --seconds S            how long to run; 0 (the default) runs until stopped
//   --override-redirect    a window the window manager does not manage

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

int main(int argc, char* argv[])
{
    double rate = 100, seconds = 0;
    bool overrideRedirect = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--rate") && i + 1 < argc) {
            rate = std::atof(argv[++i]);
        } else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
        } else if (!std::strcmp(argv[i], "--override-redirect")) {
            overrideRedirect = true;
        } else {
            std::fprintf(stderr,
                         "usage: xlib_mover [--rate N] [--seconds S] [--override-redirect]\n");
            return 2;
        }
    }
    if (rate <= 0) {
        std::fprintf(stderr, "xlib_mover: the rate must be above 0\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "xlib_mover: cannot open the display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    const int width = DisplayWidth(display, screen), height = DisplayHeight(display, screen);
    constexpr int size = 64;

    XSetWindowAttributes attributes{};
    attributes.background_pixel = 0xe07020; // orange, drawn by the server itself
    attributes.override_redirect = overrideRedirect;
    const Window window =
        XCreateWindow(display, RootWindow(display, screen), 0, 0, size, size, 0, CopyFromParent,
                      InputOutput, CopyFromParent, CWBackPixel | CWOverrideRedirect, &attributes);
    XStoreName(display, window, "xlib_mover");
    // Placed by the program, not the window manager.
    XSizeHints hints{};
    hints.flags = PPosition | PSize;
    hints.width = hints.height = size;
    XSetWMNormalHints(display, window, &hints);
    XMapWindow(display, window);
    XFlush(display);

    using Clock = std::chrono::steady_clock;
    const auto period =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / rate));
    const auto start = Clock::now();
    auto next = start;
    int x = width / 3, y = height / 3, dx = 7, dy = 5;
    while (seconds <= 0 || Clock::now() - start < std::chrono::duration<double>(seconds)) {
        x += dx;
        y += dy;
        if (x < 0 || x > width - size)
            dx = -dx, x += 2 * dx;
        if (y < 0 || y > height - size)
            dy = -dy, y += 2 * dy;
        XMoveWindow(display, window, x, y);
        XFlush(display);
        while (XPending(display)) { // drain what the server sends back
            XEvent event;
            XNextEvent(display, &event);
        }
        next += period;
        std::this_thread::sleep_until(next);
    }
    XCloseDisplay(display);
    return 0;
}
