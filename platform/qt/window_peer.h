#pragma once

#include "platform/backend_guard.h"

#include "platform/backend.h"
#include "platform/form.h"
#include "platform/qt/control_painter.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/round_end.h"
#include "platform/qt/sharp_pictures.h"
#include "platform/qt/window_common.h"
#include "platform/qt/x11_mover.h"
#include "platform/qt/x11_window_state.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <optional>
#include <type_traits>
#include <utility>

namespace platform {

// The few calls in which a top-level widget and a plain window differ.
namespace window_api {
inline void setLook(QWidget& w, const Form& form)
{
    w.setWindowFlags(windowFlagsFor(form));
    w.setWindowTitle(QString::fromStdString(form.Caption));
}
inline void setLook(QWindow& w, const Form& form)
{
    w.setFlags(windowFlagsFor(form));
    w.setTitle(QString::fromStdString(form.Caption));
}
inline void setIcon(QWidget& w, const QIcon& icon) { w.setWindowIcon(icon); }
inline void setIcon(QWindow& w, const QIcon& icon) { w.setIcon(icon); }
inline Qt::WindowModality modalityOf(const QWidget& w) { return w.windowModality(); }
inline Qt::WindowModality modalityOf(const QWindow& w) { return w.modality(); }
inline void setModality(QWidget& w, Qt::WindowModality m) { w.setWindowModality(m); }
inline void setModality(QWindow& w, Qt::WindowModality m) { w.setModality(m); }
inline void activate(QWidget& w) { w.activateWindow(); }
inline void activate(QWindow& w) { w.requestActivate(); }
inline void setFixedSize(QWidget& w, const QSize& size) { w.setFixedSize(size); }
inline void setFixedSize(QWindow& w, const QSize& size)
{
    w.setMinimumSize(size);
    w.setMaximumSize(size);
    w.resize(size);
}
// A widget keeps its place in Qt's books (its pop-ups open from it); a plain window is
// moved by the program only, straight to X while it is shown.
inline void moveTo(QWidget& w, const QPoint& place, X11Mover&) { w.move(place); }
inline void moveTo(QWindow& w, const QPoint& place, X11Mover& mover) { mover.moveTo(w, place); }
// Before Qt hides, maps or resizes the window itself; or, if its X window is gone, forgets it.
inline void handBackToQt(QWidget&, X11Mover&) {}
inline void handBackToQt(QWindow& w, X11Mover& mover) { mover.release(w); }
inline void forgetNative(QWidget&, X11Mover&) {}
inline void forgetNative(QWindow&, X11Mover& mover) { mover.forget(); }
// The window's place waits while a move of it is on its way (see X11Mover).
inline bool moveOnItsWay(const QWidget&, const X11Mover&) { return false; }
inline bool moveOnItsWay(const QWindow&, const X11Mover& mover) { return mover.busy(); }
// Draws the invalid part now, to reach X with the shape sent in the same round.
inline void paintNow(QWidget& w) { w.repaint(); }
inline void paintNow(QWindow& w)
{
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(&w, &request);
}
inline WId nativeIdOf(const QWidget& w) { return w.internalWinId(); }
inline WId nativeIdOf(const QWindow& w) { return w.handle() ? w.winId() : 0; }
// Where Qt last learnt the window stands (for a frameless one, its client area).
inline QPoint positionOf(const QWidget& w) { return w.pos(); }
inline QPoint positionOf(const QWindow& w) { return w.position(); }
} // namespace window_api

// What both kinds of window peer do alike for their form, on a top-level QWidget or a
// QWindow: show it where the model has it, follow its moves (coalesced), cut it to its
// shape, draw it, and pass the player's mouse and close requests on to the form.
template <class QtWindow>
class WindowPeer : public QtWindow, public NativeWindowPeer {
public:
    WindowPeer(Form& form, QtBackend& backend)
        : form_(form), backend_(backend), core_(form, backend)
    {
        window_api::setLook(*this, form);
        applyGeometry();
        onEveryRoundEnd(*this, [this] {
            if (offsetAfterTheMove_ && !window_api::moveOnItsWay(*this, mover_))
                setContentOffset(*std::exchange(offsetAfterTheMove_, std::nullopt));
            if (geometryPending_)
                applyGeometry();
        });
        backend_.windowCreated(*this);
    }
    ~WindowPeer() override { backend_.windowDestroyed(*this); }

    void show(bool modal) override
    {
        if (backend_.hasQuit())
            return;
        const Qt::WindowModality modality = modal ? Qt::ApplicationModal : Qt::NonModal;
        // Qt applies a window's modality when it maps it.
        if (QtWindow::isVisible() && window_api::modalityOf(*this) != modality) {
            window_api::handBackToQt(*this, mover_);
            QtWindow::hide();
        }
        if (!QtWindow::isVisible()) {
            applyGeometry(); // mapped where the model has it, not one round later
            applyShape();
            window_api::setModality(*this, modality);
            if (!form_.ShowInTaskbar)
                keepOffTaskbar(QtWindow::winId());
            placeCheckPending_ = form_.border == FormBorder::None;
            QtWindow::show();
        }
        QtWindow::raise();
        if (modal)
            window_api::activate(*this);
        shown();
    }

    void hide() override
    {
        core_.forgetPress();
        window_api::handBackToQt(*this, mover_);
        QtWindow::hide();
    }

    void geometryChanged() override
    {
        // Several handlers may move the ball in one round of ticks (the move tick, then the
        // floor putting it back): X gets only where it ends up, once, after that round.
        geometryPending_ = true;
    }

    bool setShape(const Region& pixels) override
    {
        shape_ = qtRegion(pixels);
        applyShape();
        return true;
    }

    WId nativeId() const override { return window_api::nativeIdOf(*this); }

    void windowLost() override
    {
        core_.forgetPress();
        const bool visible = QtWindow::isVisible();
        window_api::forgetNative(*this, mover_);
        if constexpr (std::is_base_of_v<QWidget, QtWindow>)
            QtWindow::hide();
        QtWindow::destroy(); // Qt's side of the window the X server no longer has
        if (visible && !backend_.hasQuit()) {
            if (!form_.ShowInTaskbar)
                keepOffTaskbar(QtWindow::winId());
            // Where the model has it now: Qt's idea of the place is stale while the mover
            // held the window.
            requestedPlace_.reset();
            applyGeometry();
            applyShape(true); // onto the new X window
            QtWindow::show();
            restoreFocus();
        }
        // In a replay the recording says what the program is asked.
        if (!backend_.replaying())
            core_.closeRequested();
    }

protected:
    // A drawn control changed: repaint only where it was and is.
    void repaint(const Control& control)
    {
        QtWindow::update(core_.repaintRegion(control).translated(contentOffset_));
    }

    // After every show, for the window to put the focus where the model has it.
    virtual void shown() {}
    // The window was made anew: the keyboard goes back where the model has it.
    virtual void restoreFocus() {}

    void applyGeometry()
    {
        // Called on every move tick of the ball: no repaint, and a resize only when needed.
        // Never the shape or picture of one tick at the place of another: while a move is
        // on its way to the window manager, the window's next place and looks wait for it.
        geometryPending_ = window_api::moveOnItsWay(*this, mover_);
        if (geometryPending_)
            return;
        const QSize size(form_.pixelWidth(), form_.pixelHeight());
        if (size != QtWindow::size()) {
            window_api::handBackToQt(*this, mover_);
            window_api::setFixedSize(*this, size);
        }
        const QPoint modelPlace = core_.placeOf();
        const Desktop& desktop = backend_.desktop();
        const QPoint place = cutAtTheEdges ? desktop.keptInside(modelPlace, size)
                                           : desktop.withinReach(modelPlace, size);
        // A window placed whole shows the whole form, wherever it stands.
        const QPoint offset = cutAtTheEdges ? modelPlace - place : QPoint();
        offsetAfterTheMove_.reset();
        // Compared with the place last asked for, not with Qt's idea of the position: a
        // move sent straight to X reaches Qt only when the server's notice comes back.
        if (place == requestedPlace_) {
            setContentOffset(offset);
            return;
        }
        requestedPlace_ = place;
        window_api::moveTo(*this, place, mover_);
        core_.movedOnScreen(QtWindow::isVisible());
        // Where X shows the windows itself, a shape holds at once and a manager's move when
        // the manager gets to it: the looks for the new place wait for its answer. A
        // compositing manager paints what it has taken in, so there the move, the shape and
        // the picture go in one write, which it takes in one go.
        if (window_api::moveOnItsWay(*this, mover_) && !mover_.composited())
            offsetAfterTheMove_ = offset;
        else
            setContentOffset(offset);
        mover_.flush();
    }

    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.translate(contentOffset_);
        paintForm(painter, form_, event->rect().translated(-contentOffset_));
        keepPlaceAfterTheMap();
        giveIconAfterTheFirstFrame();
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        core_.mouseMoved(*event, QRect(QPoint(0, 0), QtWindow::size()), QtWindow::mask());
    }
    void mousePressEvent(QMouseEvent* event) override { core_.mousePressed(*event); }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        core_.mouseReleased(*event, QRect(QPoint(0, 0), QtWindow::size()), QtWindow::mask());
    }

    bool event(QEvent* event) override
    {
        // Every key goes to keyPressEvent and from there to the model, Tab included: a
        // widget would otherwise move the focus along its own chain first.
        if (event->type() == QEvent::KeyPress) {
            this->keyPressEvent(static_cast<QKeyEvent*>(event));
            return true;
        }
        // The window never closes itself: the program decides what a close request means.
        if (event->type() == QEvent::Close) {
            event->ignore();
            core_.closeRequested();
            return true;
        }
        return QtWindow::event(event);
    }

    Form& form_;
    QtBackend& backend_;
    FormWindowCore core_;

private:
    // Window managers keep the windows they manage on the screen, or out of its panels,
    // however a program moves them; so a window of drawn controls alone never asks to
    // stand past the work area's edges. Where the model has part of it past an edge, the
    // window stands at the edge and shows only the part the model has inside, drawn and
    // cut where the model puts it: a ball flying above the top edge shows cut and then
    // not at all, and the pointer touches only what shows. A window of real widgets is
    // placed whole.
    static constexpr bool cutAtTheEdges = !std::is_base_of_v<QWidget, QtWindow>;

    // Where the form's corner lies in the window: (0, 0) but at the work area's edges.
    void setContentOffset(QPoint offset)
    {
        if (offset == contentOffset_)
            return;
        contentOffset_ = offset;
        core_.setContentOffset(offset);
        // A hidden window (the ball after the game, still moving) is cut and drawn when
        // it shows again: nothing would show the work, and a withdrawn window is best
        // left alone by its program.
        if (!QtWindow::isVisible())
            return;
        applyShape();
        if (QtWindow::mask() != nothing()) {
            QtWindow::update(); // the picture moved within the window
            window_api::paintNow(*this);
        }
    }

    // The form's shape, and only what of the form lies inside the window. Sent to X only
    // when it changes: a ball wholly out of sight keeps the same empty shape tick after tick.
    void applyShape(bool evenIfUnchanged = false)
    {
        QRegion mask; // none: the whole window
        if (shape_ || !contentOffset_.isNull()) {
            const QRect window(QPoint(0, 0), QtWindow::size());
            mask = shape_ ? shape_->translated(contentOffset_) & window
                          : QRegion(window.translated(contentOffset_)) & window;
            if (mask.isEmpty())
                mask = nothing();
        }
        if (evenIfUnchanged || mask != QtWindow::mask())
            QtWindow::setMask(mask);
    }
    // To Qt an empty mask means no mask at all: a window that shows nothing is cut to a
    // pixel outside itself instead.
    static QRegion nothing() { return QRegion(-1, -1, 1, 1); }

    // A window manager may map a frameless window elsewhere than asked (i3 puts it where
    // the client would be under a title bar and border it then does not draw), yet follow
    // a move of the mapped window. So by its first frame, a window that Qt learnt to be
    // elsewhere is asked once more for its place; a manager that refuses it again is not
    // asked a third time.
    void keepPlaceAfterTheMap()
    {
        if (!placeCheckPending_)
            return;
        placeCheckPending_ = false;
        if (requestedPlace_ && window_api::positionOf(*this) != *requestedPlace_) {
            window_api::moveTo(*this, *requestedPlace_, mover_);
            mover_.flush();
        }
    }

    // The icon is no part of the picture, and it is the slow part of a new window: six
    // sizes decoded and then sent to X, up to 256 pixels square. It follows the window's
    // first frame instead of holding the frame back.
    void giveIconAfterTheFirstFrame()
    {
        if (iconGiven_)
            return;
        iconGiven_ = true;
        QTimer::singleShot(0, this, [this] { window_api::setIcon(*this, iconFor(form_.icon)); });
    }

    X11Mover mover_;
    bool geometryPending_ = false; // a move waits for the end of this round of events
    bool iconGiven_ = false;
    bool placeCheckPending_ = false; // mapped, and not yet checked where it landed
    std::optional<QPoint> requestedPlace_;
    std::optional<QPoint> offsetAfterTheMove_; // the looks for the move on its way
    std::optional<QRegion> shape_;             // the form's, in its own pixels
    QPoint contentOffset_;
};

} // namespace platform
