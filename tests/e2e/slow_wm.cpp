// A window manager that gets to each request late, as a busy compositing manager does:
// it carries out every ConfigureRequest a fixed time after it came, in order, and answers
// it as ICCCM asks (the window moved, then a synthetic ConfigureNotify), while shapes and
// pictures, which need no manager, land at once. It frames nothing; it maps what asks to
// be mapped, gives the keyboard to what is mapped or asks for it (_NET_ACTIVE_WINDOW), and
// keeps _NET_CLIENT_LIST and the EWMH check window, so that tests see a manager.
// usage: slow_wm <delay in ms>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Pending {
    Clock::time_point due;
    XConfigureRequestEvent request;
};

int ignoreError(Display*, XErrorEvent*) { return 0; }

class SlowManager {
public:
    SlowManager(Display* display, std::chrono::milliseconds delay)
        : display_(display), root_(DefaultRootWindow(display)), delay_(delay)
    {
        clientList_ = XInternAtom(display_, "_NET_CLIENT_LIST", False);
        activeWindow_ = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
        announce();
    }

    void run()
    {
        pollfd connection{ConnectionNumber(display_), POLLIN, 0};
        for (;;) {
            while (XPending(display_)) {
                XEvent event;
                XNextEvent(display_, &event);
                handle(event);
            }
            carryOutDueRequests();
            XFlush(display_);
            // A round trip reads what came meanwhile into Xlib's queue, not the socket's.
            if (XEventsQueued(display_, QueuedAlready) == 0)
                poll(&connection, 1, waitMs());
        }
    }

private:
    void announce()
    {
        const Window check = XCreateSimpleWindow(display_, root_, -10, -10, 1, 1, 0, 0, 0);
        const Atom supportingCheck = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
        for (const Window on : {root_, check})
            XChangeProperty(display_, on, supportingCheck, XA_WINDOW, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&check), 1);
        const Atom supported = XInternAtom(display_, "_NET_SUPPORTED", False);
        const Atom atoms[] = {clientList_, activeWindow_, supportingCheck};
        XChangeProperty(display_, root_, supported, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(atoms), 3);
        publishClients();
    }

    void handle(const XEvent& event)
    {
        switch (event.type) {
        case ConfigureRequest:
            pending_.push_back({Clock::now() + delay_, event.xconfigurerequest});
            break;
        case MapRequest: map(event.xmaprequest.window); break;
        case UnmapNotify:
        case DestroyNotify:
            forget(event.type == UnmapNotify ? event.xunmap.window : event.xdestroywindow.window);
            break;
        case ClientMessage:
            if (event.xclient.message_type == activeWindow_)
                XSetInputFocus(display_, event.xclient.window, RevertToPointerRoot, CurrentTime);
            break;
        default: break;
        }
    }

    void map(Window window)
    {
        XMapWindow(display_, window);
        XSetInputFocus(display_, window, RevertToPointerRoot, CurrentTime);
        if (std::find(clients_.begin(), clients_.end(), window) == clients_.end())
            clients_.push_back(window);
        publishClients();
    }

    void forget(Window window)
    {
        const auto gone = std::remove(clients_.begin(), clients_.end(), window);
        if (gone == clients_.end())
            return;
        clients_.erase(gone, clients_.end());
        publishClients();
    }

    void publishClients()
    {
        XChangeProperty(display_, root_, clientList_, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(clients_.data()),
                        static_cast<int>(clients_.size()));
    }

    void carryOutDueRequests()
    {
        const auto now = Clock::now();
        while (!pending_.empty() && pending_.front().due <= now) {
            carryOut(pending_.front().request);
            pending_.pop_front();
        }
    }

    void carryOut(const XConfigureRequestEvent& request)
    {
        XWindowChanges changes{
            request.x,     request.y,     request.width, request.height, request.border_width,
            request.above, request.detail};
        XConfigureWindow(display_, request.window, static_cast<unsigned>(request.value_mask),
                         &changes);
        XWindowAttributes now{};
        if (!XGetWindowAttributes(display_, request.window, &now))
            return; // gone meanwhile
        XEvent answer{};
        answer.xconfigure.type = ConfigureNotify;
        answer.xconfigure.event = request.window;
        answer.xconfigure.window = request.window;
        answer.xconfigure.x = now.x;
        answer.xconfigure.y = now.y;
        answer.xconfigure.width = now.width;
        answer.xconfigure.height = now.height;
        XSendEvent(display_, request.window, False, StructureNotifyMask, &answer);
    }

    int waitMs() const
    {
        if (pending_.empty())
            return -1;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            pending_.front().due - Clock::now());
        return static_cast<int>(std::max<long long>(0, left.count() + 1));
    }

    Display* display_;
    Window root_;
    std::chrono::milliseconds delay_;
    Atom clientList_ = None;
    Atom activeWindow_ = None;
    std::deque<Pending> pending_;
    std::vector<Window> clients_;
};

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: slow_wm <delay in ms>\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "slow_wm: no X display\n");
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display),
                 SubstructureRedirectMask | SubstructureNotifyMask);
    XSync(display, False);
    XSetErrorHandler(ignoreError); // a client's window may go at any time
    SlowManager(display, std::chrono::milliseconds(std::atoi(argv[1]))).run();
}
