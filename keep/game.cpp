#include "keep/game.h"

#include <array>
#include <utility>

namespace orvanta::keep {

namespace {
constexpr std::array<std::pair<State, std::string_view>, 3> stateNames{{
    {State::playing, "playing"},
    {State::finished, "finished"},
    {State::cut, "cut"},
}};

// A tie is broken by the end time and then the file name, so that every reader of the
// same table ranks it the same.
bool isLaterOrFirstByName(const Game& a, const Game& b)
{
    if (a.endTime != b.endTime)
        return a.endTime > b.endTime;
    return a.replay < b.replay;
}
} // namespace

std::string_view stateName(State state)
{
    for (const auto& [named, name] : stateNames)
        if (named == state)
            return name;
    return "?";
}

std::optional<State> stateNamed(std::string_view name)
{
    for (const auto& [state, named] : stateNames)
        if (named == name)
            return state;
    return std::nullopt;
}

bool isBetter(const Game& a, const Game& b)
{
    if (a.baskets != b.baskets)
        return a.baskets > b.baskets;
    // Seconds per basket compared without division: a/x < b/y  <=>  a*y < b*x.
    const auto aCost = std::int64_t{a.seconds} * b.baskets;
    const auto bCost = std::int64_t{b.seconds} * a.baskets;
    if (aCost != bCost)
        return aCost < bCost;
    return isLaterOrFirstByName(a, b);
}

} // namespace orvanta::keep
