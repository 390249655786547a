#include "platform/qt/plain_window.h"

#include "platform/control.h"
#include "platform/form.h"
#include "platform/qt/control_painter.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/x11_window_state.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

namespace platform {

PlainWindow::PlainWindow(Form& form, QtBackend& backend)
    : form_(form), backend_(backend), core_(form, backend)
{
    setFlags(windowFlagsFor(form));
    setTitle(QString::fromStdString(form.Caption));
    setIcon(iconFor(form.icon));
    applyGeometry();
    backend_.windowCreated(*this);
}

PlainWindow::~PlainWindow() { backend_.windowDestroyed(*this); }

// --- Following the model -----------------------------------------------------------------

void PlainWindow::show(bool modal)
{
    if (backend_.hasQuit())
        return;
    const Qt::WindowModality modality = modal ? Qt::ApplicationModal : Qt::NonModal;
    // Qt applies a window's modality when it maps it.
    if (isVisible() && this->modality() != modality)
        QWindow::hide();
    if (!isVisible()) {
        applyGeometry(); // mapped where the model has it, not one round later
        setModality(modality);
        if (!form_.ShowInTaskbar)
            keepOffTaskbar(winId());
        QWindow::show();
    }
    raise();
    if (modal)
        requestActivate();
}

void PlainWindow::hide()
{
    core_.forgetPress();
    QWindow::hide();
}

void PlainWindow::geometryChanged()
{
    // Several handlers may move the ball in one round of ticks (the move tick, then the
    // floor putting it back): X gets only where it ends up, once, after that round.
    if (geometryPending_)
        return;
    geometryPending_ = true;
    QMetaObject::invokeMethod(this, &PlainWindow::applyGeometry, Qt::QueuedConnection);
}

void PlainWindow::applyGeometry()
{
    geometryPending_ = false;
    const QSize size(form_.pixelWidth(), form_.pixelHeight());
    if (size != this->size()) {
        setMinimumSize(size);
        setMaximumSize(size);
        resize(size);
    }
    if (const QPoint place = core_.placeOf(); place != position()) {
        if (!isVisible() || !moveOnX11(*this, place))
            setPosition(place);
        core_.movedOnScreen(isVisible());
    }
}

void PlainWindow::controlChanged(Control& control, Change)
{
    for (const QRect& rect : core_.repaintRegion(control))
        update(rect);
}

bool PlainWindow::setShape(const QRegion& pixels)
{
    // To Qt an empty mask means no mask at all; cut everything away instead.
    setMask(pixels.isEmpty() ? QRegion(-1, -1, 1, 1) : pixels);
    return true;
}

void PlainWindow::focus() { requestActivate(); }

// --- Drawing and input ---------------------------------------------------------------------

void PlainWindow::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    paintForm(painter, form_, event->rect());
}

void PlainWindow::mouseMoveEvent(QMouseEvent* event) { core_.mouseMoved(*event); }
void PlainWindow::mousePressEvent(QMouseEvent* event) { core_.mousePressed(*event); }

void PlainWindow::mouseReleaseEvent(QMouseEvent* event)
{
    core_.mouseReleased(*event, QRect(QPoint(0, 0), size()), mask());
}

void PlainWindow::keyPressEvent(QKeyEvent* event) { core_.keyPressed(*event); }

bool PlainWindow::event(QEvent* event)
{
    // The window never closes itself: the program decides what a close request means.
    if (event->type() == QEvent::Close) {
        event->ignore();
        core_.closeRequested();
        return true;
    }
    return QRasterWindow::event(event);
}

} // namespace platform
