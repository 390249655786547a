#pragma once

#include <string>
#include <string_view>

namespace orvanta {

// A number as the game shows it: plain digits, no leading space, at most 15 significant
// digits and no trailing zeros ("59", "7.5", "8.57142857142857").
std::string numberText(double value);

// The numeric value of a text: the number at its start, 0 if it has none
// ("0 " gives 0, "12abc" gives 12, "" gives 0).
double numericValue(const std::string& text);

} // namespace orvanta
