// Watches an X server's top-level windows and prints, with the wall-clock time in ns,
// every window mapped ("map <ns> <name>"), every move of a window of the given name
// ("move <ns> <x> <y>") and the first pointer motion in that window after the pointer
// was off it ("touch <ns> <x> <y>", the pointer's place on the screen; needs the X input
// extension 2), and the first drawing into each window created while it watches ("frame
// <ns> <name>"; needs the damage extension), until it is stopped.
// usage: x_watch <window name to follow>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#ifdef HAVE_XI2
#include <X11/extensions/XInput2.h>
#endif
#ifdef HAVE_XDAMAGE
#include <X11/extensions/Xdamage.h>
#endif

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

// The opcode of the X input extension 2, or -1 if the server lacks it.
int xinputOpcode(Display* display)
{
#ifdef HAVE_XI2
    int opcode = 0;
    int event = 0;
    int error = 0;
    int major = 2;
    int minor = 0;
    if (XQueryExtension(display, "XInputExtension", &opcode, &event, &error) &&
        XIQueryVersion(display, &major, &minor) == Success)
        return opcode;
#else
    (void)display;
#endif
    return -1;
}

// Pointer motion and leaving in `window`, alongside the window's own client: X gives
// every client that asks for them its copy.
void followPointerIn(Display* display, Window window)
{
#ifdef HAVE_XI2
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_Motion);
    XISetMask(bits, XI_Leave);
    XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
    XISelectEvents(display, window, &mask, 1);
#else
    (void)display;
    (void)window;
#endif
}

// The first event number of the damage extension, or -1 if the server lacks it.
int damageEventBase(Display* display)
{
#ifdef HAVE_XDAMAGE
    int event = 0;
    int error = 0;
    if (XDamageQueryExtension(display, &event, &error))
        return event;
#else
    (void)display;
#endif
    return -1;
}

// Windows come and go while we ask about them: an error about one that has gone is no
// reason to stop watching.
int ignoreError(Display*, XErrorEvent*) { return 0; }

} // namespace

int main(int argc, char* argv[])
{
    const std::string followed = argc > 1 ? argv[1] : "Clock";
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "x_watch: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(ignoreError);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    const int xinput = xinputOpcode(display);
    const int damage = damageEventBase(display);
    std::printf("ready %lld%s%s\n", wallNs(), xinput < 0 ? " (no touches: no XInput 2)" : "",
                damage < 0 ? " (no frames: no damage extension)" : "");
    std::fflush(stdout);
    std::map<Window, std::pair<int, int>> positions;
    std::map<Window, std::string> names; // top-level names do not change here
    const auto isFollowed = [&](Window window) {
        auto name = names.find(window);
        if (name == names.end()) {
            name = names.emplace(window, nameOf(display, window)).first;
            if (name->second == followed && xinput >= 0)
                followPointerIn(display, window);
        }
        return name->second == followed;
    };
    std::map<Window, unsigned long> undrawn; // windows watched for their first drawing
    bool pointerIn = false;
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        const long long now = wallNs();
        if (event.type == GenericEvent && event.xcookie.extension == xinput) {
#ifdef HAVE_XI2
            if (XGetEventData(display, &event.xcookie)) {
                if (event.xcookie.evtype == XI_Motion && !pointerIn) {
                    const auto* motion = static_cast<XIDeviceEvent*>(event.xcookie.data);
                    std::printf("touch %lld %d %d\n", now, static_cast<int>(motion->root_x),
                                static_cast<int>(motion->root_y));
                }
                pointerIn = event.xcookie.evtype == XI_Motion;
                XFreeEventData(display, &event.xcookie);
            }
#endif
#ifdef HAVE_XDAMAGE
        } else if (event.type == CreateNotify && damage >= 0) {
            // Watched from its creation: its client cannot draw into it before we look.
            const Window window = event.xcreatewindow.window;
            undrawn[window] = XDamageCreate(display, window, XDamageReportNonEmpty);
        } else if (damage >= 0 && event.type == damage + XDamageNotify) {
            const auto& drawn = reinterpret_cast<const XDamageNotifyEvent&>(event);
            const auto watched = undrawn.find(drawn.drawable);
            if (watched == undrawn.end())
                continue;
            std::printf("frame %lld %s\n", now, nameOf(display, drawn.drawable).c_str());
            XDamageDestroy(display, watched->second);
            undrawn.erase(watched);
        } else if (event.type == DestroyNotify) {
            undrawn.erase(event.xdestroywindow.window); // its damage went with it
#endif
        } else if (event.type == MapNotify) {
            std::printf("map %lld %s\n", now, nameOf(display, event.xmap.window).c_str());
        } else if (event.type == ConfigureNotify) {
            const XConfigureEvent& c = event.xconfigure;
            auto [it, fresh] = positions.try_emplace(c.window, c.x, c.y);
            if (!fresh && it->second == std::make_pair(c.x, c.y))
                continue;
            it->second = {c.x, c.y};
            if (isFollowed(c.window))
                std::printf("move %lld %d %d\n", now, c.x, c.y);
        }
        std::fflush(stdout);
    }
}
