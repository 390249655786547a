#include "keep/selector.h"

#include <charconv>

namespace orvanta::keep {

namespace {

std::optional<Selector::Order> orderNamed(std::string_view name)
{
    if (name == "best")
        return Selector::Order::best;
    if (name == "last")
        return Selector::Order::last;
    return std::nullopt;
}

bool isDigits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

} // namespace

std::optional<Selector> parseSelector(std::string_view text)
{
    const std::size_t colon = text.find(':');
    const auto order = orderNamed(text.substr(0, colon));
    if (!order)
        return std::nullopt;
    if (colon == std::string_view::npos)
        return Selector{*order, 1};
    const std::string_view digits = text.substr(colon + 1);
    std::size_t rank = 0;
    if (!isDigits(digits) ||
        std::from_chars(digits.data(), digits.data() + digits.size(), rank).ec != std::errc{} ||
        rank < 1 || rank > maxSelectorRank)
        return std::nullopt;
    return Selector{*order, rank};
}

} // namespace orvanta::keep
