#pragma once

#include "platform/backend_guard.h"

#include <QPoint>
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
class X11Mover {
public:
    // Puts `window` at `place` (Qt's device-independent desktop pixels).
    void moveTo(QWindow& window, QPoint place);
    // Gives the window back to Qt, which learns where it is: before Qt hides, maps or
    // resizes it.
    void release(QWindow& window);
    // The window's X window is gone (another client destroyed it): nothing to give back.
    void forget() { holding_ = false; }

private:
    bool hold(QWindow& window);
    void sendMove(QPoint place);
    QPoint nativeOf(QPoint place) const;

    xcb_connection_t* connection_ = nullptr; // Qt's, while holding
    std::uint32_t id_ = 0;
    bool holding_ = false;
    QPoint place_; // where the held window was last sent
    // Qt's pixels to the server's, for the held window's screen (the model's screen, so
    // the same while the mover holds it).
    qreal ratio_ = 1;
    QPoint screenCorner_;
    std::uint32_t qtEventMask_ = 0; // what Qt selected on the window, given back on release
};

} // namespace platform
