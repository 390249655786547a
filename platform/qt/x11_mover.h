#pragma once

#include "platform/backend_guard.h"

#include <QPoint>
#include <QTimer>
#include <cstdint>

class QWindow;
struct xcb_connection_t;

namespace platform {

// Moves a top-level window that only the program moves (the ball, a hundred times a
// second) straight through Qt's X connection: one ConfigureWindow request and nothing
// back. Qt would send the window's size hints with each move and answer each
// ConfigureNotify with a round trip to ask the server where the window is, through its
// reader thread: most of what a move cost. While the mover holds a shown window, Qt does
// not hear of its structure events; it learns where the window is when the mover hands
// the window back. A window not yet shown, or off X11, is moved through Qt.
//
// Nor does Qt hear of the held window's destruction by another client: a move then comes
// back as a BadWindow error, which the destroy watch takes for the notice (see
// watchDestroyedWindows). A window that stops moving is handed back to Qt after a second,
// so that one no move would reach hears of its destruction as any other window does.
class X11Mover {
public:
    X11Mover();
    X11Mover(const X11Mover&) = delete;
    X11Mover& operator=(const X11Mover&) = delete;

    // Puts `window` at `place` (Qt's device-independent desktop pixels).
    void moveTo(QWindow& window, QPoint place);
    // Gives the window back to Qt, which learns where it is: before Qt hides, maps or
    // resizes it.
    void release(QWindow& window);
    // The window's X window is gone (another client destroyed it): nothing to give back.
    void forget();

private:
    bool hold(QWindow& window);
    void sendMove(QPoint place);
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
    std::uint32_t qtEventMask_ = 0; // what Qt selected on the window, given back on release
    QTimer idle_;                   // looks once a second whether the held window moved
    bool movedSinceLook_ = false;
};

} // namespace platform
