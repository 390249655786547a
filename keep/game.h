#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvanta::keep {

enum class State {
    playing,  // its program is recording it now, or died before the next start found it
    finished, // ended by its program: game over, a quit, a signal, the display gone
    cut,      // its program died while it went on; kept with the baskets it had then
};

std::string_view stateName(State state);
std::optional<State> stateNamed(std::string_view name);

// One row of the table of kept games.
struct Game {
    State state = State::playing;
    std::int64_t endTime = 0; // Unix seconds: the end, or the latest news of a game going on
    std::string player;       // UTF-8, at most maxPlayerBytes
    int minutes = 0;          // the game's length as the player chose it
    int seconds = 0;          // seconds played
    int baskets = 0;
    std::string replay; // a bare file name inside the folder

    bool operator==(const Game&) const = default;
};

// Best first: more baskets, then fewer seconds a basket; a game with no basket is worse
// than any with one. Equal games: the later first.
bool isBetter(const Game& a, const Game& b);

} // namespace orvanta::keep
