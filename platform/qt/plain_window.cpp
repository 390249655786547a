#include "platform/qt/plain_window.h"

#include "platform/control.h"
#include "platform/form.h"
#include "platform/program.h"
#include "platform/qt/control_painter.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/tick_statistics.h"
#include "platform/qt/window_common.h"
#include "platform/qt/x11_window_state.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

namespace platform {

PlainWindow::PlainWindow(Form& form, QtBackend& backend) : form_(form), backend_(backend)
{
    setFlags(windowFlagsFor(form));
    setTitle(QString::fromStdString(form.Caption));
    setIcon(iconFor(form.icon));
    for (const Control* control : form.controls())
        if (isDrawn(*control))
            paintedRects_.emplace(control, paintedRect(*control));
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
    pressed_ = false;
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
    const QPoint place(toPixels(form_.Left), toPixels(form_.Top));
    if (place == position())
        return;
    setPosition(place);
    if (TickStatistics* statistics = TickStatistics::instance(); statistics && isVisible())
        statistics->moved(form_.className());
}

void PlainWindow::controlChanged(Control& control, Change)
{
    if (!isDrawn(control))
        return;
    QRect& painted = paintedRects_[&control];
    const QRect now = paintedRect(control);
    QRegion dirty(now);
    dirty += painted;
    painted = now;
    for (const QRect& rect : dirty)
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

bool PlainWindow::acceptsInput() const
{
    return !backend_.hasQuit() && Program::exists() && Program::current().acceptsInput(form_);
}

void PlainWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (!acceptsInput())
        return;
    const QPointF at = event->position();
    form_.mouseMoved(static_cast<float>(at.x()) * twipsPerPixel,
                     static_cast<float>(at.y()) * twipsPerPixel, buttonsOf(event->buttons()),
                     shiftOf(event->modifiers()));
}

void PlainWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        pressed_ = true;
}

void PlainWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !pressed_)
        return;
    pressed_ = false;
    // A click is a press and a release both on the window, not dragged off it.
    const QPoint at = event->position().toPoint();
    const bool onWindow =
        QRect(QPoint(0, 0), size()).contains(at) && (mask().isEmpty() || mask().contains(at));
    if (onWindow && acceptsInput())
        form_.clicked(static_cast<float>(at.x()) * twipsPerPixel,
                      static_cast<float>(at.y()) * twipsPerPixel);
}

void PlainWindow::keyPressEvent(QKeyEvent* event)
{
    if (!acceptsInput())
        return;
    if (const char letter = accessKeyOf(*event))
        form_.accessKeyPressed(letter);
    else if (const int keyAscii = keyAsciiOf(*event))
        form_.keyPressed(keyAscii);
}

bool PlainWindow::event(QEvent* event)
{
    // The window never closes itself: the program decides what a close request means.
    if (event->type() == QEvent::Close) {
        event->ignore();
        if (acceptsInput())
            form_.closeRequested();
        return true;
    }
    return QRasterWindow::event(event);
}

} // namespace platform
