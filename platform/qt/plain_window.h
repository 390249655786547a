#pragma once

#include "platform/backend_guard.h"

#include "platform/qt/window_peer.h"

#include <QRasterWindow>

namespace platform {

// A loaded form with nothing but drawn controls (the ball, the hoop, the board, the
// loading screen) on the screen: a plain window, not a widget. The ball moves a hundred
// times a second, and Qt answers every move of a top-level widget with three more round
// trips to the X server to learn a frame these windows do not have; a plain window
// costs about half the CPU time per move.
class PlainWindow final : public WindowPeer<QRasterWindow> {
public:
    using WindowPeer::WindowPeer;

    // FormPeer
    void controlChanged(Control& control, Change) override { repaint(control); }
    void focus() override { requestActivate(); }
    void focusControl(Control&) override {}

protected:
    void keyPressEvent(QKeyEvent* event) override { core_.keyPressed(*event); }
};

} // namespace platform
