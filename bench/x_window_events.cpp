// Counts what happens to one X window and its window-manager frame while it runs:
// position changes, restacks and property changes (by property name), and prints the
// counts when stopped with SIGTERM or SIGINT. For comparing what a window costs the
// window manager.
// usage: x_window_events <window id>

#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <poll.h>
#include <string>

namespace {
volatile std::sig_atomic_t stopping = 0;
extern "C" void stop(int) { stopping = 1; }
} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: x_window_events <window id>\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "x_window_events: cannot open the display\n");
        return 1;
    }
    const Window window = std::strtoul(argv[1], nullptr, 0);
    XSelectInput(display, window, StructureNotifyMask | PropertyChangeMask);
    // The frame, if a window manager added one: restacks and moves show there.
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count) && parent != root)
        XSelectInput(display, parent, StructureNotifyMask);
    if (children)
        XFree(children);
    std::signal(SIGTERM, stop);
    std::signal(SIGINT, stop);
    std::printf("ready\n");
    std::fflush(stdout);

    long configures = 0, restacks = 0;
    std::map<std::string, long> properties;
    std::map<Window, Window> lastAbove; // the window and its frame, each

    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    while (!stopping) {
        if (!XPending(display)) {
            poll(&connection, 1, 100);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        // A window manager answers a move of a window it did not reparent with a synthetic
        // notice as well (ICCCM), whose stacking field is always None: not a restack.
        if (event.type == ConfigureNotify && event.xconfigure.send_event) {
            ++configures;
        } else if (event.type == ConfigureNotify) {
            ++configures;
            const auto [last, first] =
                lastAbove.try_emplace(event.xconfigure.window, event.xconfigure.above);
            if (!first && last->second != event.xconfigure.above)
                ++restacks;
            last->second = event.xconfigure.above;
        } else if (event.type == PropertyNotify) {
            char* name = XGetAtomName(display, event.xproperty.atom);
            ++properties[name ? name : "?"];
            if (name)
                XFree(name);
        }
    }
    std::printf("configure %ld\nrestack %ld\n", configures, restacks);
    for (const auto& [name, changes] : properties)
        std::printf("property %s %ld\n", name.c_str(), changes);
    XCloseDisplay(display);
    return 0;
}
