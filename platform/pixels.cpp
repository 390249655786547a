#include "platform/pixels.h"

#include <algorithm>
#include <climits>

// One decoder on every platform, so that a picture's pixels are the same bytes wherever
// the game runs. PNG only, from memory.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 8192 // our pictures are a few hundred pixels a side
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wsign-conversion"
#pragma GCC diagnostic ignored "-Wunused-function"
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace platform {

Pixels::Pixels(int width, int height, std::uint32_t fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill)
{
    if (pixels_.empty())
        width_ = height_ = 0;
}

Pixels Pixels::fromPng(std::span<const unsigned char> bytes)
{
    if (bytes.empty() || bytes.size() > INT_MAX)
        return {};
    int width = 0, height = 0, channels = 0;
    stbi_uc* rgba = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width,
                                          &height, &channels, 4);
    if (!rgba)
        return {};
    Pixels pixels(width, height, 0);
    for (std::size_t at = 0; at < pixels.pixels_.size(); ++at) {
        const stbi_uc* p = rgba + at * 4;
        pixels.pixels_[at] = std::uint32_t{p[3]} << 24 | std::uint32_t{p[0]} << 16 |
                             std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]};
    }
    stbi_image_free(rgba);
    return pixels;
}

namespace {

// a * b / 255, rounded as Qt rounds it, so that a blended pixel reads back alike.
int timesAlpha(int value, int alpha)
{
    const int product = value * alpha;
    return (product + (product >> 8) + 0x80) >> 8;
}

std::uint32_t blended(std::uint32_t over, std::uint32_t under)
{
    const int alpha = alphaOf(over);
    if (alpha == 0xFF)
        return over;
    const auto channel = [&](int source, int destination) {
        return timesAlpha(source, alpha) + timesAlpha(destination, 0xFF - alpha);
    };
    return 0xFF000000u |
           static_cast<std::uint32_t>(channel(redOfPixel(over), redOfPixel(under))) << 16 |
           static_cast<std::uint32_t>(channel(greenOfPixel(over), greenOfPixel(under))) << 8 |
           static_cast<std::uint32_t>(channel(blueOfPixel(over), blueOfPixel(under)));
}

} // namespace

void Pixels::draw(const Pixels& picture, int x, int y)
{
    const int left = std::max(x, 0), right = std::min(x + picture.width_, width_);
    const int top = std::max(y, 0), bottom = std::min(y + picture.height_, height_);
    for (int row = top; row < bottom; ++row)
        for (int column = left; column < right; ++column) {
            std::uint32_t& under = pixels_[index(column, row)];
            under = blended(picture.pixel(column - x, row - y), under);
        }
}

} // namespace platform
