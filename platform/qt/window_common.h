#pragma once

#include "platform/backend_guard.h"

// What both kinds of window peer share: their flags and icon, the drawing of a form, and
// the translation of Qt's input into the toolkit's.

#include "platform/keyboard.h"

#include <QIcon>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <Qt>
#include <cstdint>
#include <unordered_map>

class QKeyEvent;
class QMouseEvent;
class QPainter;

namespace platform {

class Control;
class Form;
class QtBackend;
enum class FormIcon;

// What both kinds of window peer do alike for their form: pass the player's mouse, keys
// and close requests on as the form's events, and keep what was painted of each drawn
// control, so that a change repaints only its old and new places.
class FormWindowCore {
public:
    FormWindowCore(Form& form, QtBackend& backend);

    bool acceptsInput() const;
    void mouseMoved(const QMouseEvent& event, const QRect& window, const QRegion& shape);
    void mousePressed(const QMouseEvent& event);
    // A click is a press and a release both on the window (`shape` cuts it), not dragged off.
    void mouseReleased(const QMouseEvent& event, const QRect& window, const QRegion& shape);
    // The model's decision on a key: whether it was taken, or is the focused widget's to
    // edit with. A window that takes no input drops every key.
    KeyRoute keyPressed(const QKeyEvent& event);
    void closeRequested();
    void forgetPress() { pressed_ = false; }
    // Where the form's corner lies in its window (not at 0, 0 while the window stands cut
    // at an edge of the screen): the pointer is passed on in the form's own pixels.
    void setContentOffset(QPoint offset) { contentOffset_ = offset; }
    // Where the control was and is painted, or nothing if the window does not draw it.
    QRegion repaintRegion(const Control& control);
    // Where the window belongs on the desktop.
    QPoint placeOf();
    void movedOnScreen(bool visible) const;

private:
    Form& form_;
    QtBackend& backend_;
    std::unordered_map<const Control*, QRect> paintedRects_;
    bool pressed_ = false;
    QPoint contentOffset_;
    std::uint64_t placedIn_ = 0; // the monitors' state at the last placement
};

Qt::WindowFlags windowFlagsFor(const Form& form);
const QIcon& iconFor(FormIcon icon);

// Paints the background, the picture and the drawn controls that touch `dirty`, back to
// front, with antialiasing off: pictures and shapes are pixel art and must not blend with
// the key colour at a shaped window's edge.
void paintForm(QPainter& painter, const Form& form, const QRect& dirty);

int buttonsOf(Qt::MouseButtons buttons);
int shiftOf(Qt::KeyboardModifiers modifiers);
// A Qt key press as the toolkit's model sees it.
KeyPress keyPressOf(const QKeyEvent& event);

} // namespace platform
