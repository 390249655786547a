#include "platform/qt/x11_window_state.h"

#include "platform/qt/x11_connection.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#ifdef ORVANTA_HAVE_XCB
#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#endif

namespace platform {

#ifdef ORVANTA_HAVE_XCB
namespace {

struct NetWmAtoms {
    xcb_atom_t state = XCB_ATOM_NONE;
    xcb_atom_t skipTaskbar = XCB_ATOM_NONE;
    xcb_atom_t skipPager = XCB_ATOM_NONE;
};

NetWmAtoms internAtoms(xcb_connection_t* connection)
{
    static constexpr std::array names{"_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR",
                                      "_NET_WM_STATE_SKIP_PAGER"};
    std::array<xcb_intern_atom_cookie_t, names.size()> cookies{};
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto length = static_cast<std::uint16_t>(std::strlen(names[i]));
        cookies[i] = xcb_intern_atom(connection, 0, length, names[i]);
    }
    std::array<xcb_atom_t, names.size()> atoms{};
    for (std::size_t i = 0; i < names.size(); ++i) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookies[i], nullptr);
        atoms[i] = XCB_ATOM_NONE;
        if (reply)
            atoms[i] = reply->atom;
        std::free(reply);
    }
    return {atoms[0], atoms[1], atoms[2]};
}

xcb_window_t rootOf(xcb_connection_t* connection)
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

} // namespace

void keepOffTaskbar(WId window)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return;
    // One application talks to one X server: the atoms are fixed for the run.
    static const NetWmAtoms atoms = internAtoms(connection);
    if (atoms.state == XCB_ATOM_NONE)
        return;
    const std::array<xcb_atom_t, 2> states{atoms.skipTaskbar, atoms.skipPager};
    // Qt merges its own states (modal, above) into this property when it maps the window.
    const auto id = static_cast<xcb_window_t>(window);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atoms.state, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(states.size()), states.data());
    xcb_flush(connection);
}

namespace {

class DestroyWatch final : public QAbstractNativeEventFilter {
public:
    explicit DestroyWatch(std::function<void(WId)> destroyed) : destroyed_(std::move(destroyed)) {}

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        // Qt destroys its own windows through its own code; only a window it still holds
        // can be news to it, and the backend checks that against what it holds.
        if ((event->response_type & 0x7F) == XCB_DESTROY_NOTIFY) {
            const auto* destroy = static_cast<const xcb_destroy_notify_event_t*>(message);
            if (destroy->window == destroy->event)
                destroyed_(static_cast<WId>(destroy->window));
        }
        if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY) {
            const auto* map = static_cast<const xcb_map_notify_event_t*>(message);
            if (map->window == map->event)
                keepWithdrawnIfHidden(map->window);
        }
        // A move sent straight to a window that another client has just destroyed finds
        // no window: that error is a notice too, whichever comes first.
        if (event->response_type == 0) {
            const auto* error = static_cast<const xcb_generic_error_t*>(message);
            if (error->error_code == XCB_WINDOW)
                destroyed_(static_cast<WId>(error->resource_id));
        }
        return false;
    }

private:
    // A window manager may map a window that the game has hidden again (xfwm4 does, now
    // and then, with the ball at the game's end, when it meets the hide late): Qt goes on
    // taking it for hidden, and the player would see a ball that the game does not have.
    // Such a window is withdrawn again, as ICCCM asks of a client.
    static void keepWithdrawnIfHidden(xcb_window_t id)
    {
        for (QWindow* window : QGuiApplication::topLevelWindows()) {
            if (window->isVisible() || !window->handle() ||
                static_cast<xcb_window_t>(window->winId()) != id)
                continue;
            xcb_connection_t* connection = x11Connection();
            if (!connection)
                return;
            xcb_unmap_window(connection, id);
            xcb_unmap_notify_event_t withdraw{};
            withdraw.response_type = XCB_UNMAP_NOTIFY;
            withdraw.event = rootOf(connection);
            withdraw.window = id;
            xcb_send_event(connection, 0, withdraw.event,
                           XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT |
                               XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char*>(&withdraw));
            xcb_flush(connection);
            return;
        }
    }

    std::function<void(WId)> destroyed_;
};

} // namespace

void watchDestroyedWindows(std::function<void(WId)> destroyed)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    // Lives as long as the application, which holds it.
    static DestroyWatch* watch = nullptr;
    if (watch)
        qApp->removeNativeEventFilter(watch);
    delete watch;
    watch = nullptr;
    if (!destroyed)
        return;
    watch = new DestroyWatch(std::move(destroyed));
    qApp->installNativeEventFilter(watch);
}

#else

void keepOffTaskbar(WId) {}
void watchDestroyedWindows(std::function<void(WId)>) {}

#endif

} // namespace platform
