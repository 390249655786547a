#pragma once

namespace platform {
class Timer;
}

namespace orvanta {

// Whether `timer` runs the play itself: the ball's move and its floor, the rim, and the
// board. A trace of a game follows these ticks.
bool isPlayTimer(const platform::Timer& timer);

} // namespace orvanta
