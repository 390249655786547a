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

// Which games stay, index by index. A game going on always stays. Of the others, the
// best `limits.best` and the last `limits.last` stay; then, while their replays together
// are above `limits.keptBytes`, games go in this order: the oldest of those kept only for
// being recent, then the worst of the best, the latest game last of all.
std::vector<bool> gamesToKeep(const std::vector<KeptGame>& games, const Limits& limits);

} // namespace orvanta::keep
