#pragma once

#include <string>

namespace platform {
class Timer;
}

namespace orvanta {

// Whether `timer` runs the play itself: the ball's move and its floor, the rim, and the
// board. A trace of a game follows these ticks.
bool isPlayTimer(const platform::Timer& timer);

// The game as far as it has gone, as its end screen would count it.
struct GameProgress {
    std::string player; // empty until the player has started the game
    int minutes = 0;    // the length chosen
    int baskets = 0;
    int secondsPlayed = 0;
};
GameProgress gameProgress();
// The two things of it that change during a game, cheap enough to look at on every event.
bool gameStarted();
int basketsCounted();

} // namespace orvanta
