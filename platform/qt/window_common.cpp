#include "platform/qt/window_common.h"

#include "platform/control.h"
#include "platform/form.h"
#include "platform/program.h"
#include "platform/qt/control_painter.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/tick_statistics.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <initializer_list>

namespace platform {

Qt::WindowFlags windowFlagsFor(const Form& form)
{
    if (form.border == FormBorder::FixedDialog)
        return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    return (form.ShowInTaskbar ? Qt::Window : Qt::Tool) | Qt::FramelessWindowHint;
}

namespace {
QIcon iconFrom(std::initializer_list<const char*> files)
{
    // Missing pictures are left out, so a build without the resources still runs.
    QIcon icon;
    for (const char* file : files)
        if (const QPixmap pixmap(QString::fromLatin1(file), "PNG"); !pixmap.isNull())
            icon.addPixmap(pixmap);
    return icon;
}
} // namespace

// Made once: every window but the About window carries the same icon.
const QIcon& iconFor(FormIcon icon)
{
    static const QIcon information = iconFrom({":/assets/info-16.png", ":/assets/info-32.png"});
    static const QIcon ball =
        iconFrom({":/assets/icon-16.png", ":/assets/icon-24.png", ":/assets/icon-32.png",
                  ":/assets/icon-48.png", ":/assets/icon-64.png", ":/assets/icon-256.png"});
    return icon == FormIcon::Information ? information : ball;
}

void paintForm(QPainter& painter, const Form& form, const QRect& dirty)
{
    painter.fillRect(dirty, toQColor(form.BackColor));
    if (!form.picture.isNull())
        painter.drawImage(0, 0, form.picture.image());
    const std::vector<Control*>& controls = form.controls(); // front to back
    for (auto control = controls.rbegin(); control != controls.rend(); ++control) {
        const Control& c = **control;
        if (c.Visible && isDrawn(c) && paintedRect(c).intersects(dirty))
            paintControl(painter, c);
    }
}

int buttonsOf(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
           (buttons & Qt::MiddleButton ? 4 : 0);
}

int shiftOf(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

int keyAsciiOf(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Escape: return 27;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    default: break;
    }
    const QString text = event.text();
    if (text.size() != 1 || text[0].unicode() > 0xFF)
        return 0;
    return text[0].unicode();
}

char accessKeyOf(const QKeyEvent& event)
{
    if (!(event.modifiers() & Qt::AltModifier) || event.key() < Qt::Key_A ||
        event.key() > Qt::Key_Z)
        return 0;
    return static_cast<char>('A' + (event.key() - Qt::Key_A));
}

FormWindowCore::FormWindowCore(Form& form, QtBackend& backend) : form_(form), backend_(backend)
{
    for (const Control* control : form.controls())
        if (isDrawn(*control))
            paintedRects_.emplace(control, paintedRect(*control));
}

bool FormWindowCore::acceptsInput() const
{
    // A replay takes no input from the player: its input comes from the recording.
    return !backend_.hasQuit() && !backend_.replaying() && Program::exists() &&
           Program::current().acceptsInput(form_);
}

void FormWindowCore::mouseMoved(const QMouseEvent& event)
{
    if (!acceptsInput())
        return;
    const QPointF at = event.position();
    form_.mouseMoved(static_cast<float>(at.x()) * twipsPerPixel,
                     static_cast<float>(at.y()) * twipsPerPixel, buttonsOf(event.buttons()),
                     shiftOf(event.modifiers()));
}

void FormWindowCore::mousePressed(const QMouseEvent& event)
{
    if (event.button() == Qt::LeftButton)
        pressed_ = true;
}

void FormWindowCore::mouseReleased(const QMouseEvent& event, const QRect& window,
                                   const QRegion& shape)
{
    if (event.button() != Qt::LeftButton || !pressed_)
        return;
    pressed_ = false;
    const QPoint at = event.position().toPoint();
    const bool onWindow = window.contains(at) && (shape.isEmpty() || shape.contains(at));
    if (onWindow && acceptsInput())
        form_.clicked(static_cast<float>(at.x()) * twipsPerPixel,
                      static_cast<float>(at.y()) * twipsPerPixel);
}

bool FormWindowCore::keyPressed(const QKeyEvent& event)
{
    if (const char letter = accessKeyOf(event)) {
        if (acceptsInput())
            form_.accessKeyPressed(letter);
        return true;
    }
    const int keyAscii = keyAsciiOf(event);
    if (keyAscii && acceptsInput())
        form_.keyPressed(keyAscii);
    return keyAscii != 0;
}

void FormWindowCore::closeRequested()
{
    if (acceptsInput())
        form_.closeRequested();
}

QRegion FormWindowCore::repaintRegion(const Control& control)
{
    if (!isDrawn(control))
        return {};
    QRect& painted = paintedRects_[&control];
    const QRect now = paintedRect(control);
    QRegion dirty(now);
    dirty += painted;
    painted = now;
    return dirty;
}

QPoint FormWindowCore::placeOf() const { return {toPixels(form_.Left), toPixels(form_.Top)}; }

void FormWindowCore::movedOnScreen(bool visible) const
{
    if (TickStatistics* statistics = TickStatistics::instance(); statistics && visible)
        statistics->moved(form_.className());
}

} // namespace platform
