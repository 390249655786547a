#include "keep/keeping.h"

#include <algorithm>

namespace orvanta::keep {

namespace {

using Indices = std::vector<std::size_t>;

template <class Order>
Indices sortedBy(const std::vector<KeptGame>& games, const Indices& indices, Order order)
{
    Indices sorted = indices;
    std::sort(sorted.begin(), sorted.end(),
              [&](std::size_t a, std::size_t b) { return order(games[a].game, games[b].game); });
    return sorted;
}

Indices settledGames(const std::vector<KeptGame>& games)
{
    Indices settled;
    for (std::size_t index = 0; index < games.size(); ++index)
        if (games[index].game.state != State::playing)
            settled.push_back(index);
    return settled;
}

void markFirst(const Indices& ordered, std::size_t count, std::vector<bool>& marks)
{
    for (std::size_t at = 0; at < ordered.size() && at < count; ++at)
        marks[ordered[at]] = true;
}

// The kept games in the order they give way to the byte cap; the newest never does.
Indices leavingOrder(const Indices& best, const Indices& latest, const std::vector<bool>& inBest,
                     const std::vector<bool>& keep)
{
    const std::size_t newest = latest.front();
    Indices order;
    for (auto at = latest.rbegin(); at != latest.rend(); ++at)
        if (keep[*at] && !inBest[*at] && *at != newest)
            order.push_back(*at);
    for (auto at = best.rbegin(); at != best.rend(); ++at)
        if (inBest[*at] && *at != newest)
            order.push_back(*at);
    return order;
}

} // namespace

std::vector<bool> gamesToKeep(const std::vector<KeptGame>& games, const Limits& limits)
{
    std::vector<bool> keep(games.size(), true);
    const Indices settled = settledGames(games);
    if (settled.empty())
        return keep;
    const Indices best = sortedBy(games, settled, isBetter);
    const Indices latest(settled.rbegin(), settled.rend());
    std::vector<bool> inBest(games.size(), false), inLast(games.size(), false);
    markFirst(best, limits.best, inBest);
    markFirst(latest, std::max<std::size_t>(limits.last, 1), inLast);
    std::uint64_t keptBytes = 0;
    for (const std::size_t index : settled) {
        keep[index] = inBest[index] || inLast[index];
        keptBytes += keep[index] ? games[index].bytes : 0;
    }
    for (const std::size_t index : leavingOrder(best, latest, inBest, keep)) {
        if (keptBytes <= limits.keptBytes)
            break;
        if (keep[index]) {
            keep[index] = false;
            keptBytes -= games[index].bytes;
        }
    }
    return keep;
}

} // namespace orvanta::keep
