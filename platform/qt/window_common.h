#pragma once

// What both kinds of window peer share: their flags and icon, the drawing of a form, and
// the translation of Qt's input into the toolkit's.

#include <QIcon>
#include <QRect>
#include <Qt>

class QKeyEvent;
class QPainter;

namespace platform {

class Form;
enum class FormIcon;

Qt::WindowFlags windowFlagsFor(const Form& form);
const QIcon& iconFor(FormIcon icon);

// Paints the background, the picture and the drawn controls that touch `dirty`, back to
// front, with antialiasing off: pictures and shapes are pixel art and must not blend with
// the key colour at a shaped window's edge.
void paintForm(QPainter& painter, const Form& form, const QRect& dirty);

int buttonsOf(Qt::MouseButtons buttons);
int shiftOf(Qt::KeyboardModifiers modifiers);
// The character code a key press hands to the form, or 0 for a key without one.
int keyAsciiOf(const QKeyEvent& event);
// Alt and a letter: the letter (upper case), or 0.
char accessKeyOf(const QKeyEvent& event);

} // namespace platform
