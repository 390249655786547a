#pragma once

#include "platform/backend_guard.h"

#include <functional>

class QObject;

namespace platform {

// Calls `check` whenever the event loop has finished a round of events (the ticks due
// together, a batch of input) and before it waits for the next, for as long as `context`
// lives: where a window changed several times in a round can go to the window system
// once, as it ends up. Nothing is posted for it: the loop's own "about to wait" is the
// signal, and a loop that only looks (processEvents without waiting, as a test's wait
// does) says "awake" at the start of each round instead. Keep `check` cheap.
void onEveryRoundEnd(QObject& context, const std::function<void()>& check);

} // namespace platform
