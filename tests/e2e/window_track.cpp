// Follows where the X server has a window's client area, framed by a window manager or
// not, by asking every millisecond, and prints each new place as "x y" (root coordinates)
// until the time is up or the window is gone.
// usage: window_track <window id> <seconds>

#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

int ignoreError(Display*, XErrorEvent*) { return 0; }

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: window_track <window id> <seconds>\n");
        return 2;
    }
    const Window window = std::strtoul(argv[1], nullptr, 0);
    const auto end = std::chrono::steady_clock::now() +
                     std::chrono::duration<double>(std::atof(argv[2]));
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "window_track: no X display\n");
        return 1;
    }
    XSetErrorHandler(ignoreError); // a window that goes ends the watch, not the program
    const Window root = DefaultRootWindow(display);
    int lastX = 0, lastY = 0;
    bool seen = false;
    while (std::chrono::steady_clock::now() < end) {
        int x = 0, y = 0;
        Window child = 0;
        if (!XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child))
            break;
        if (!seen || x != lastX || y != lastY) {
            std::printf("%d %d\n", x, y);
            std::fflush(stdout);
            seen = true;
            lastX = x;
            lastY = y;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    XCloseDisplay(display);
    return seen ? 0 : 1;
}
