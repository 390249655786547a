#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace platform {

// An image in memory: 32-bit pixels 0xAARRGGBB (alpha not premultiplied), row after row
// from the top. On a little-endian machine that is the layout of Qt's ARGB32 images and
// of Windows' top-down 32-bit bitmaps, so either backend shows it without converting.
class Pixels {
public:
    Pixels() = default;
    Pixels(int width, int height, std::uint32_t fill);
    // A PNG decoded; empty if the bytes are not one, or one too large to be ours.
    static Pixels fromPng(std::span<const unsigned char> bytes);

    bool isNull() const { return pixels_.empty(); }
    int width() const { return width_; }
    int height() const { return height_; }
    bool valid(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    std::uint32_t pixel(int x, int y) const { return pixels_[index(x, y)]; }
    const std::uint32_t* data() const { return pixels_.data(); }

    // `picture` over these pixels with its top-left corner at (x, y), blended by its
    // alpha; what falls outside is left out.
    void draw(const Pixels& picture, int x, int y);

private:
    std::size_t index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

constexpr int alphaOf(std::uint32_t argb) { return static_cast<int>(argb >> 24); }
constexpr int redOfPixel(std::uint32_t argb) { return static_cast<int>((argb >> 16) & 0xFF); }
constexpr int greenOfPixel(std::uint32_t argb) { return static_cast<int>((argb >> 8) & 0xFF); }
constexpr int blueOfPixel(std::uint32_t argb) { return static_cast<int>(argb & 0xFF); }

} // namespace platform
