#include "platform/qt/x11_mover.h"

#include "platform/qt/x11_connection.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#ifdef ORVANTA_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <string>
#endif

namespace platform {

X11Mover::X11Mover()
{
    idle_.setInterval(1000);
    idle_.setTimerType(Qt::CoarseTimer);
    QObject::connect(&idle_, &QTimer::timeout, &idle_, [this] {
        if (holding_ && !movedSinceLook_)
            release(*window_);
        movedSinceLook_ = false;
    });
    answerWait_.setSingleShot(true);
    answerWait_.setInterval(answerWaitMs);
    answerWait_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&answerWait_, &QTimer::timeout, &answerWait_, [this] { answered(); });
}

X11Mover::~X11Mover()
{
    if (holding_ && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void X11Mover::moveTo(QWindow& window, QPoint place)
{
    // A hidden window is left to Qt: it must hear of a map that it did not ask for.
    if (holding_ || (window.isVisible() && hold(window))) {
        sendMove(place);
        movedSinceLook_ = true;
    } else {
        window.setPosition(place);
    }
}

void X11Mover::forget()
{
    if (holding_)
        QCoreApplication::instance()->removeNativeEventFilter(this);
    holding_ = false;
    idle_.stop();
    answered(); // by Qt, from now on
}

void X11Mover::answered()
{
    awaitingAnswer_ = false;
    answerWait_.stop();
}

#ifdef ORVANTA_HAVE_XCB
namespace {

xcb_connection_t* connectionOf(const QWindow& window)
{
    return window.handle() ? x11Connection() : nullptr;
}

// Whether a compositing manager holds the screen of `window`, as EWMH has it announce
// itself: by owning the selection _NET_WM_CM_S<screen number>.
bool compositedScreen(xcb_connection_t* connection, xcb_window_t window)
{
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    if (!geometry)
        return false;
    const xcb_window_t root = geometry->root;
    std::free(geometry);
    int number = 0;
    for (auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
         screens.rem > 0 && screens.data->root != root; xcb_screen_next(&screens))
        ++number;
    const std::string name = "_NET_WM_CM_S" + std::to_string(number);
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data()),
        nullptr);
    if (!atom)
        return false;
    xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
    std::free(atom);
    const bool composited = owner && owner->owner != XCB_NONE;
    std::free(owner);
    return composited;
}

} // namespace

// Qt scales each screen's part of the desktop about that screen's corner.
QPoint X11Mover::nativeOf(QPoint place) const
{
    if (ratio_ == 1)
        return place;
    return (place - screenCorner_) * ratio_ + screenCorner_;
}

bool X11Mover::hold(QWindow& window)
{
    xcb_connection_t* connection = connectionOf(window);
    // Exposed: Qt has seen the window mapped (and reparented, under a window manager), so
    // it needs no ConfigureNotify of this window until it hides it.
    if (!connection || !window.isExposed())
        return false;
    window_ = &window;
    connection_ = connection;
    id_ = static_cast<xcb_window_t>(window.winId());
    ratio_ = window.devicePixelRatio();
    screenCorner_ = window.screen() ? window.screen()->geometry().topLeft() : QPoint();
    composited_ = compositedScreen(connection, id_);
    holding_ = true;
    QCoreApplication::instance()->installNativeEventFilter(this);
    idle_.start();
    return true;
}

void X11Mover::sendMove(QPoint place)
{
    const QPoint native = nativeOf(place);
    const std::uint32_t values[] = {static_cast<std::uint32_t>(native.x()),
                                    static_cast<std::uint32_t>(native.y())};
    xcb_configure_window(connection_, id_, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
    place_ = place;
    awaitingAnswer_ = true;
    answerWait_.start();
}

void X11Mover::flush()
{
    if (holding_)
        xcb_flush(connection_);
}

bool X11Mover::nativeEventFilter(const QByteArray& type, void* message, qintptr*)
{
    if (!holding_ || type != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_CONFIGURE_NOTIFY)
        return false;
    const auto* configure = static_cast<const xcb_configure_notify_event_t*>(message);
    if (configure->window != id_ || configure->event != id_)
        return false;
    // A manager that does not frame the window makes X tell of the move as well as the
    // manager itself: only news of the place last sent is the answer to it.
    if (QPoint(configure->x, configure->y) == nativeOf(place_))
        answered();
    // A window manager's word (sent, not made by X) Qt takes as given, at no cost, and so
    // keeps up with where the window is. X's own notice Qt would check with a round trip:
    // it learns where the window is when it gets the window back.
    const bool sent = (event->response_type & 0x80) != 0;
    return !sent;
}

void X11Mover::release(QWindow& window)
{
    if (!holding_)
        return;
    forget();
    xcb_connection_t* connection = connection_;
    const xcb_window_t id = id_;
    // Tell Qt where the window is the way a window manager does, with a synthetic
    // ConfigureNotify: Qt takes its position as given.
    const QPoint native = nativeOf(place_);
    const QSize size = window.size() * ratio_;
    xcb_configure_notify_event_t event{};
    event.response_type = XCB_CONFIGURE_NOTIFY;
    event.event = id;
    event.window = id;
    event.above_sibling = XCB_NONE;
    event.x = static_cast<std::int16_t>(native.x());
    event.y = static_cast<std::int16_t>(native.y());
    event.width = static_cast<std::uint16_t>(size.width());
    event.height = static_cast<std::uint16_t>(size.height());
    xcb_send_event(connection, 0, id, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
}

#else

bool X11Mover::hold(QWindow&) { return false; }
void X11Mover::sendMove(QPoint) {}
void X11Mover::release(QWindow&) {}
void X11Mover::flush() {}
bool X11Mover::nativeEventFilter(const QByteArray&, void*, qintptr*) { return false; }

#endif

} // namespace platform
