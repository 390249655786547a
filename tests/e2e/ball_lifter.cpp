// Knocks the ball up from below, again and again, beside the hoop, until it has flown
// wholly above the top of the screen, and prints the highest position the X server gave its
// window. A window manager that keeps windows on the screen would hold the ball back.
// usage: ball_lifter <ball window id> [seconds]
// Exits 0 once the window's bottom edge was above the screen, 1 if not in time.

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

struct Place {
    int x = 0, y = 0;
    unsigned width = 0, height = 0;
};

bool placeOf(Display* display, Window window, Place& place)
{
    Window root = 0, child = 0;
    int x = 0, y = 0;
    unsigned border = 0, depth = 0;
    if (!XGetGeometry(display, window, &root, &x, &y, &place.width, &place.height, &border, &depth))
        return false;
    return XTranslateCoordinates(display, window, root, 0, 0, &place.x, &place.y, &child);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: ball_lifter <ball window id> [seconds]\n");
        return 2;
    }
    const Window ball = std::strtoul(argv[1], nullptr, 0);
    const double seconds = argc > 2 ? std::atof(argv[2]) : 10.0;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "ball_lifter: no X display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    // The hoop hangs over the middle of the screen: the ball rises at three quarters across.
    const int column = DisplayWidth(display, DefaultScreen(display)) * 3 / 4;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int highest = 1 << 30;
    Place place;
    bool above = false;
    while (!above && std::chrono::steady_clock::now() < end && placeOf(display, ball, place)) {
        highest = std::min(highest, place.y);
        above = place.y + static_cast<int>(place.height) < 0;
        // Low on the ball: up, hard, and sideways towards a column clear of the hoop. The
        // ball takes one touch every half second; the pointer leaves between touches, so
        // that each is a move onto it again.
        const int size = static_cast<int>(place.width);
        const int touchX = place.x + size / 2 + std::clamp((place.x - column) / 10, -12, 12);
        const int touchY = place.y + size * 9 / 10;
        if (touchY > 0) {
            XWarpPointer(display, None, root, 0, 0, 0, 0, touchX, touchY);
            XFlush(display);
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
            XWarpPointer(display, None, root, 0, 0, 0, 0,
                         place.x + 3 * static_cast<int>(place.width), touchY);
            XFlush(display);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::printf("highest %d\n", highest);
    XCloseDisplay(display);
    return above ? 0 : 1;
}
