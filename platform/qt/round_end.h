#pragma once

#include <functional>

class QObject;

namespace platform {

// Runs `job` once, when the event loop has finished the round of events it is in (the
// ticks due together, a batch of input) and before it waits for the next: so that a
// window changed several times in a round goes to the window system once, as it ends
// up. Nothing runs if `context` is gone by then. No event is posted for it: the loop's
// own "about to wait" is the signal.
void atRoundEnd(QObject& context, std::function<void()> job);

} // namespace platform
