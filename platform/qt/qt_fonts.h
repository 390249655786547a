#pragma once

#include "platform/backend_guard.h"

#include "platform/font.h"

#include <QFont>

namespace platform {

// The windows name fonts that a free desktop rarely has; QtBackend registers free
// look-alikes for them once, and every text is drawn with the font this returns.
void registerFontSubstitutions();
QFont toQFont(const Font& font);

} // namespace platform
