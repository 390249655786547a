// Follows where the X server has a window's client area, framed by a window manager or
// not, by asking every millisecond, and prints each new place as "x y" (root coordinates)
// until the time is up or the window is gone. With --shape each line also gives the
// extents of the window's shape, "x y left top right bottom", in the window's own
// coordinates (right and bottom exclusive): what of it shows.
// usage: window_track <window id> <seconds> [--shape]

#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

int ignoreError(Display*, XErrorEvent*) { return 0; }

using Sample = std::array<int, 6>;

bool sample(Display* display, Window window, bool withShape, Sample& out)
{
    Window root = 0, child = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(display, window, &root, &x, &y, &width, &height, &border, &depth) ||
        !XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child))
        return false;
    out = {x, y, 0, 0, static_cast<int>(width), static_cast<int>(height)};
    if (!withShape)
        return true;
    Bool shaped = False, clipShaped = False;
    int left = 0, top = 0, clipLeft = 0, clipTop = 0;
    unsigned shapeWidth = 0, shapeHeight = 0, clipWidth = 0, clipHeight = 0;
    if (XShapeQueryExtents(display, window, &shaped, &left, &top, &shapeWidth, &shapeHeight,
                           &clipShaped, &clipLeft, &clipTop, &clipWidth, &clipHeight) &&
        shaped)
        out = {x,
               y,
               left,
               top,
               left + static_cast<int>(shapeWidth),
               top + static_cast<int>(shapeHeight)};
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    const bool withShape = argc == 4 && std::strcmp(argv[3], "--shape") == 0;
    if (argc != 3 && !withShape) {
        std::fprintf(stderr, "usage: window_track <window id> <seconds> [--shape]\n");
        return 2;
    }
    const Window window = std::strtoul(argv[1], nullptr, 0);
    const auto end =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(std::atof(argv[2]));
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "window_track: no X display\n");
        return 1;
    }
    XSetErrorHandler(ignoreError); // a window that goes ends the watch, not the program
    Sample last{};
    bool seen = false;
    while (std::chrono::steady_clock::now() < end) {
        // A move and a new shape are two requests: a look between them would see a state
        // that nobody drew. A place counts once two looks in a row agree on it.
        Sample now{}, again{};
        if (!sample(display, window, withShape, now))
            break;
        while (sample(display, window, withShape, again) && again != now)
            now = again;
        if (!seen || now != last) {
            if (withShape)
                std::printf("%d %d %d %d %d %d\n", now[0], now[1], now[2], now[3], now[4], now[5]);
            else
                std::printf("%d %d\n", now[0], now[1]);
            std::fflush(stdout);
            seen = true;
            last = now;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    XCloseDisplay(display);
    return seen ? 0 : 1;
}
