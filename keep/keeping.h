#pragma once

#include "keep/game.h"
#include "keep/limits.h"

#include <cstdint>
#include <vector>

namespace orvanta::keep {

struct KeptGame {
    Game game;
    std::uint64_t bytes = 0; // its replay file's size
};

// Which games stay, index by index; `games` are in the order they were filed, the last
// filed last (a clock that jumps cannot reorder them). A game going on always stays, and so
// does the last filed: the game just played. Of the others, the best `limits.best` and the
// last `limits.last` filed stay; then, while their replays together are above
// `limits.keptBytes`, games go in this order: the first filed of those kept only for being
// recent, then the worst of the best.
std::vector<bool> gamesToKeep(const std::vector<KeptGame>& games, const Limits& limits);

} // namespace orvanta::keep
