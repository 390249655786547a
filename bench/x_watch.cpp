// Watches an X server's top-level windows and prints, with the wall-clock time in ns,
// every window mapped ("map <ns> <name>") and every move of a window of the given name
// ("move <ns> <x> <y>"), until it is stopped.
// usage: x_watch <window name to follow>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <ctime>
#include <map>
#include <string>

namespace {

long long wallNs()
{
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

std::string nameOf(Display* display, Window window)
{
    char* name = nullptr;
    std::string result;
    if (XFetchName(display, window, &name) && name)
        result = name;
    if (name)
        XFree(name);
    return result;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string followed = argc > 1 ? argv[1] : "Clock";
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "x_watch: cannot open the display\n");
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    std::printf("ready %lld\n", wallNs());
    std::fflush(stdout);
    std::map<Window, std::pair<int, int>> positions;
    std::map<Window, std::string> names; // top-level names do not change here
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        const long long now = wallNs();
        if (event.type == MapNotify) {
            std::printf("map %lld %s\n", now, nameOf(display, event.xmap.window).c_str());
        } else if (event.type == ConfigureNotify) {
            const XConfigureEvent& c = event.xconfigure;
            auto [it, fresh] = positions.try_emplace(c.window, c.x, c.y);
            if (!fresh && it->second == std::make_pair(c.x, c.y))
                continue;
            it->second = {c.x, c.y};
            auto name = names.find(c.window);
            if (name == names.end())
                name = names.emplace(c.window, nameOf(display, c.window)).first;
            if (name->second == followed)
                std::printf("move %lld %d %d\n", now, c.x, c.y);
        }
        std::fflush(stdout);
    }
}
