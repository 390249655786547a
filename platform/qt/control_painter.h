#pragma once

#include "platform/backend_guard.h"

#include "platform/colour.h"

#include <QColor>
#include <QRect>

class QPainter;

namespace platform {

class Control;

QColor toQColor(Colour colour);
int toPixels(float twips);
// The control's rectangle in client pixels, rounded as the form's own size is.
QRect pixelRect(const Control& control);

// Labels, images, shapes and lines are drawn by their window; the rest are widgets.
bool isDrawn(const Control& control);
// What drawing the control may touch: the area to repaint when it changes.
QRect paintedRect(const Control& control);
void paintControl(QPainter& painter, const Control& control);

} // namespace platform
