#pragma once

#include "platform/backend_guard.h"

#include "platform/font.h"

#include <QFont>

namespace platform {

// The windows name fonts that a free desktop rarely has: every text is drawn with the
// font this returns, and its first call registers free look-alikes for them. Not before:
// looking fonts up reads fontconfig's whole configuration, which the first window need
// not wait for to show.
QFont toQFont(const Font& font);

} // namespace platform
