#pragma once

#include "platform/runtime_error.h"

#include <cmath>
#include <compare>
#include <cstdint>
#include <limits>

namespace orvanta {

// A 16-bit signed integer of the game state with the game's number rules: a real value
// stored into it is rounded to the nearest integer, halves to the even neighbour; a
// result outside -32768..32767 raises the overflow error; negation raises none.
class Integer {
public:
    constexpr Integer() = default;
    constexpr Integer(std::int16_t value) : value_(value) {} // NOLINT: literals read naturally

    static Integer fromReal(double value)
    {
        const double rounded = std::nearbyint(value); // the default rounding: half to even
        if (!(rounded >= min && rounded <= max))      // NaN fails too
            throw platform::overflowError();
        return Integer(static_cast<std::int16_t>(rounded));
    }

    constexpr std::int16_t value() const { return value_; }

    friend Integer operator+(Integer a, Integer b) { return checked(a.value_ + b.value_); }
    friend Integer operator-(Integer a, Integer b) { return checked(a.value_ - b.value_); }
    // Two's complement: negating -32768 leaves -32768.
    constexpr Integer operator-() const
    {
        return Integer(static_cast<std::int16_t>(-static_cast<std::uint16_t>(value_)));
    }

    friend constexpr bool operator==(Integer, Integer) = default;
    friend constexpr auto operator<=>(Integer, Integer) = default;

private:
    static constexpr int min = std::numeric_limits<std::int16_t>::min();
    static constexpr int max = std::numeric_limits<std::int16_t>::max();

    static Integer checked(int sum)
    {
        if (sum < min || sum > max)
            throw platform::overflowError();
        return Integer(static_cast<std::int16_t>(sum));
    }

    std::int16_t value_ = 0;
};

} // namespace orvanta
