#pragma once

#include "platform/backend_guard.h"

#include <QAbstractNativeEventFilter>
#include <QPoint>
#include <QTimer>
#include <cstdint>

class QWindow;
struct xcb_connection_t;

namespace platform {

// Moves a top-level window that only the program moves (the ball, a hundred times a
// second) straight through Qt's X connection: one ConfigureWindow request. Qt would send
// the window's size hints with each move and answer each ConfigureNotify with a round trip
// to ask the server where the window is: most of what a move cost. While the mover holds
// a shown window it takes the X server's own ConfigureNotify events of that window, so
// that (with no window manager) Qt learns where the window is when the mover hands it
// back; a manager's word Qt hears, as it costs nothing. A window not yet shown, or off
// X11, is moved through Qt.
//
// A window manager moves a window some time after the program asks (when it gets to the
// request: KWin, compositing, can take several frames), while a new shape or picture
// shows at once. So one move is on its way at a time: until the manager has answered it
// (a ConfigureNotify, synthetic or real, with the place asked for), the mover says it is
// busy, and the window's next place, shape and picture wait for the answer (the event
// loop's round that brings it) instead of racing ahead of the place on the screen. A
// manager that never answers, or puts the window elsewhere, is waited for no longer than
// answerWaitMs.
//
// A window that stops moving is handed back to Qt after a second.
class X11Mover final : public QAbstractNativeEventFilter {
public:
    static constexpr int answerWaitMs = 200;

    X11Mover();
    ~X11Mover() override;
    X11Mover(const X11Mover&) = delete;
    X11Mover& operator=(const X11Mover&) = delete;

    // A move sent straight to X has not been answered yet.
    bool busy() const { return awaitingAnswer_; }
    // A compositing manager paints the screen (as of when the mover took the window), not
    // the X server itself.
    bool composited() const { return composited_; }

    // Puts `window` at `place` (Qt's device-independent desktop pixels). The request waits
    // in Qt's connection, to go with what else the round sends the window: see flush().
    void moveTo(QWindow& window, QPoint place);
    // Sends the move, and the shape and picture sent after it, to X in one write.
    void flush();
    // Gives the window back to Qt, which learns where it is: before Qt hides, maps or
    // resizes it.
    void release(QWindow& window);
    // The window's X window is gone (another client destroyed it): nothing to give back.
    void forget();

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

private:
    bool hold(QWindow& window);
    void sendMove(QPoint place);
    void answered();
    QPoint nativeOf(QPoint place) const;

    QWindow* window_ = nullptr;              // the held window
    xcb_connection_t* connection_ = nullptr; // Qt's, while holding
    std::uint32_t id_ = 0;
    bool holding_ = false;
    QPoint place_; // where the held window was last sent
    // Qt's pixels to the server's, for the held window's screen (the model's screen, so
    // the same while the mover holds it).
    qreal ratio_ = 1;
    QPoint screenCorner_;
    QTimer idle_; // looks once a second whether the held window moved
    bool movedSinceLook_ = false;
    bool awaitingAnswer_ = false;
    bool composited_ = false;
    QTimer answerWait_;
};

} // namespace platform
