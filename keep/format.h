#pragma once

// The kept games as `orvanta --games` prints them: an aligned table for people, or JSON.

#include "keep/game.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvanta::keep {

// A header line and one line a game, ranked in the order given; dates in local time.
std::string formatTable(const std::vector<Game>& games);
// A JSON array of one object a game; `folder` makes the replay's path whole.
std::string formatJson(const std::vector<Game>& games, const std::string& folder);

// "1 basket every 12.5 seconds", or "–" for a game with no basket.
std::string rateText(const Game& game);
// Text safe to print on a terminal, as the replay reader shows names: control characters,
// format characters that reorder or hide text, and stray bytes as \xHH, a byte each.
std::string shownText(std::string_view text);

} // namespace orvanta::keep
