#include "platform/qt/window_common.h"

#include "platform/control.h"
#include "platform/form.h"
#include "platform/picture.h"
#include "platform/program.h"
#include "platform/qt/control_painter.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/sharp_pictures.h"
#include "platform/qt/tick_statistics.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <cmath>
#include <initializer_list>

namespace platform {

Qt::WindowFlags windowFlagsFor(const Form& form)
{
    if (form.border == FormBorder::FixedDialog)
        return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    return Qt::Window | Qt::FramelessWindowHint;
}

namespace {
QIcon iconFrom(std::initializer_list<const char*> pictures)
{
    // Missing pictures are left out, so a build without them still runs.
    QIcon icon;
    for (const char* name : pictures)
        if (const Picture picture = Picture::load(name); !picture.isNull())
            icon.addPixmap(QPixmap::fromImage(imageOf(picture.pixels()).copy()));
    return icon;
}
} // namespace

// Made once: every window but the About window carries the same icon.
const QIcon& iconFor(FormIcon icon)
{
    static const QIcon information = iconFrom({"info-16.png", "info-32.png"});
    static const QIcon ball = iconFrom({"icon-16.png", "icon-24.png", "icon-32.png", "icon-48.png",
                                        "icon-64.png", "icon-256.png"});
    return icon == FormIcon::Information ? information : ball;
}

void paintForm(QPainter& painter, const Form& form, const QRect& dirty)
{
    painter.fillRect(dirty, toQColor(form.BackColor));
    if (!form.picture.isNull())
        painter.drawImage(0, 0, imageFor(form.picture, painter.device()->devicePixelRatioF()));
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

namespace {

Key keyOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return Key::Return;
    case Qt::Key_Escape: return Key::Escape;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return Key::Tab;
    case Qt::Key_Backspace: return Key::Backspace;
    case Qt::Key_Up: return Key::Up;
    case Qt::Key_Down: return Key::Down;
    case Qt::Key_Left: return Key::Left;
    case Qt::Key_Right: return Key::Right;
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Delete:
    case Qt::Key_Insert: return Key::Navigation;
    default: return Key::Other;
    }
}

} // namespace

KeyPress keyPressOf(const QKeyEvent& event)
{
    KeyPress press;
    press.key = keyOf(event.key());
    press.shift = shiftOf(event.modifiers());
    if (event.key() == Qt::Key_Backtab)
        press.shift |= 1;
    if (event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z)
        press.letter = static_cast<char>('A' + (event.key() - Qt::Key_A));
    switch (press.key) {
    case Key::Return: press.keyAscii = 13; return press;
    case Key::Escape: press.keyAscii = 27; return press;
    case Key::Tab: press.keyAscii = 9; return press;
    case Key::Backspace: press.keyAscii = 8; return press;
    case Key::Other: break;
    default: return press;
    }
    const QString text = event.text();
    if (text.size() == 1 && text[0].unicode() <= 0xFF) {
        press.keyAscii = text[0].unicode();
        if (press.keyAscii >= 32)
            press.key = Key::Character;
    }
    return press;
}

FormWindowCore::FormWindowCore(Form& form, QtBackend& backend) : form_(form), backend_(backend)
{
    for (const Control* control : form.controls())
        if (isDrawn(*control))
            paintedRects_.emplace(control, paintedRect(*control));
}

bool FormWindowCore::acceptsInput() const
{
    return !backend_.hasQuit() && Program::exists() && Program::current().acceptsInput(form_);
}

namespace {

// The pixel of the window under a pointer position.
QPoint pixelAt(const QPointF& at)
{
    return {static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y()))};
}

// Whether a pixel of the window is on it. While a button is held the window has the
// pointer wherever it goes; the form hears of it only over the window, as it does with
// no button held, and as a replay checks it.
bool onWindow(const QPoint& pixel, const QRect& window, const QRegion& shape)
{
    return window.contains(pixel) && (shape.isEmpty() || shape.contains(pixel));
}

} // namespace

void FormWindowCore::mouseMoved(const QMouseEvent& event, const QRect& window, const QRegion& shape)
{
    if (!onWindow(pixelAt(event.position()), window, shape) || !acceptsInput())
        return;
    const QPointF at = event.position() - QPointF(contentOffset_);
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
    const QPoint at = pixelAt(event.position());
    const QPoint onForm = at - contentOffset_;
    if (onWindow(at, window, shape) && acceptsInput())
        form_.clicked(static_cast<float>(onForm.x()) * twipsPerPixel,
                      static_cast<float>(onForm.y()) * twipsPerPixel);
}

KeyRoute FormWindowCore::keyPressed(const QKeyEvent& event)
{
    if (!acceptsInput())
        return KeyRoute::Taken;
    return form_.keyDown(keyPressOf(event));
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

QPoint FormWindowCore::placeOf()
{
    const QPoint model(toPixels(form_.Left), toPixels(form_.Top));
    return backend_.desktop().place(model, {form_.pixelWidth(), form_.pixelHeight()}, placedIn_);
}

void FormWindowCore::movedOnScreen(bool visible) const
{
    if (TickStatistics* statistics = TickStatistics::instance(); statistics && visible)
        statistics->moved(form_.className());
}

} // namespace platform
