#pragma once

#include "platform/backend_guard.h"

class QImage;
class QRegion;

namespace platform {

class Picture;
class Pixels;
class Region;

// The model's pixels as a QImage that shows them in place (they must outlive it).
QImage imageOf(const Pixels& pixels);
// The model's region as Qt's.
QRegion qtRegion(const Region& region);

// What to draw for a picture on a screen with `devicePixelRatio` device pixels to a
// logical one: above 1, its twice-as-large version (name@2x.png) where one ships, marked
// as such, so that QPainter draws it at the picture's logical size with no blow-up.
const QImage& imageFor(const Picture& picture, double devicePixelRatio);

} // namespace platform
