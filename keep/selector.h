#pragma once

// Which kept game a replay asks for: best, best:N, last or last:N (N from 1).

#include <cstddef>
#include <optional>
#include <string_view>

namespace orvanta::keep {

struct Selector {
    enum class Order { best, last };
    Order order = Order::best;
    std::size_t rank = 1; // from 1
};

constexpr std::size_t maxSelectorRank = 1'000'000;

std::optional<Selector> parseSelector(std::string_view text);

} // namespace orvanta::keep
