#pragma once

#include "platform/backend_guard.h"

class QImage;

namespace platform {

class Picture;

// What to draw for a picture on a screen with `devicePixelRatio` device pixels to a
// logical one: above 1, its twice-as-large version (name@2x.png) where one ships, marked
// as such, so that QPainter draws it at the picture's logical size with no blow-up.
const QImage& imageFor(const Picture& picture, double devicePixelRatio);

} // namespace platform
