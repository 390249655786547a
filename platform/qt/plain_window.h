#pragma once

#include "platform/qt/qt_backend.h"
#include "platform/qt/window_common.h"

#include <QRasterWindow>

namespace platform {

class Form;
class QtBackend;

// A loaded form with nothing but drawn controls (the ball, the hoop, the board, the
// loading screen) on the screen: a plain window, not a widget. The ball moves a hundred
// times a second, and Qt answers every move of a top-level widget with three more round
// trips to the X server to learn a frame these windows do not have; a plain window
// costs about half the CPU time per move.
class PlainWindow final : public QRasterWindow, public NativeWindowPeer {
public:
    PlainWindow(Form& form, QtBackend& backend);
    ~PlainWindow() override;

    // FormPeer
    void show(bool modal) override;
    void hide() override;
    void geometryChanged() override;
    void controlChanged(Control& control, Change change) override;
    bool setShape(const QRegion& pixels) override;
    void focus() override;

    // NativeWindowPeer
    WId nativeId() const override { return handle() ? winId() : 0; }
    void windowLost() override;
    void focusControl(Control&) override {}

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    void applyGeometry();

    Form& form_;
    QtBackend& backend_;
    FormWindowCore core_;
    bool geometryPending_ = false; // a move waits for the end of this round of events
};

} // namespace platform
