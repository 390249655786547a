#pragma once

#include <cstdint>

namespace platform {

// A colour as the toolkit stores it: 0x00BBGGRR.
using Colour = std::uint32_t;

constexpr Colour rgb(int red, int green, int blue)
{
    return static_cast<Colour>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

constexpr int redOf(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int greenOf(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

namespace colours {
constexpr Colour black = rgb(0, 0, 0);
constexpr Colour white = rgb(255, 255, 255);
constexpr Colour magenta = rgb(255, 0, 255);
// The system colours a control gets when its definition names none.
constexpr Colour windowBackground = white;
constexpr Colour windowText = black;
constexpr Colour buttonFace = rgb(240, 240, 240);
} // namespace colours

} // namespace platform
