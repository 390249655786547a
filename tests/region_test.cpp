// Regions: the drawing calls' answers, and the regions themselves checked pixel by pixel
// against plain bitmaps through long runs of random operations.

#include "platform/gdi.h"
#include "platform/region.h"
#include "sim_fixture.h"

#include <algorithm>
#include <array>
#include <random>

using namespace platform;

namespace {

class Regions : public SimTest {};

// Which of the 8 x 8 pixels from (0, 0) a region holds.
std::array<bool, 64> pixelsOf(const Region& region)
{
    std::array<bool, 64> pixels{};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pixels[static_cast<std::size_t>(y * 8 + x)] = region.contains(x, y);
    return pixels;
}

std::array<bool, 64> rectanglePixels(const Rect& rect) { return pixelsOf(Region::rectangle(rect)); }

TEST_F(Regions, CombineRgnAnswersAsTheDrawingCallsDo)
{
    const Rect a{0, 0, 4, 4}, b{2, 2, 6, 6}, far{6, 6, 8, 8};
    std::array<bool, 64> onlyA = rectanglePixels(a), both{}, either{}, one{};
    const std::array<bool, 64> inA = rectanglePixels(a), inB = rectanglePixels(b);
    for (std::size_t at = 0; at < 64; ++at) {
        onlyA[at] = inA[at] && !inB[at];
        both[at] = inA[at] && inB[at];
        either[at] = inA[at] || inB[at];
        one[at] = inA[at] != inB[at];
    }
    const struct {
        int mode;
        Rect second;
        int answer;
        std::array<bool, 64> pixels;
    } cases[] = {
        {RGN_AND, b, SIMPLEREGION, both},
        {RGN_OR, b, COMPLEXREGION, either},
        {RGN_XOR, b, COMPLEXREGION, one},
        {RGN_DIFF, b, COMPLEXREGION, onlyA},
        {RGN_COPY, b, SIMPLEREGION, inA},
        {RGN_AND, far, NULLREGION, {}},
        {RGN_DIFF, a, NULLREGION, {}},
        {RGN_OR, {0, 4, 4, 8}, SIMPLEREGION, rectanglePixels({0, 0, 4, 8})},
        {99, b, REGION_ERROR, inA},
    };
    startProgram();
    for (const auto& c : cases) {
        const RegionHandle target = CreateRectRgn(a.left, a.top, a.right, a.bottom);
        const RegionHandle second =
            CreateRectRgn(c.second.left, c.second.top, c.second.right, c.second.bottom);
        EXPECT_EQ(CombineRgn(target, target, second, c.mode), c.answer) << c.mode;
        EXPECT_EQ(pixelsOf(*program.regions().find(target)), c.pixels) << c.mode;
        EXPECT_TRUE(DeleteObject(target));
        EXPECT_TRUE(DeleteObject(second));
    }
    EXPECT_EQ(CombineRgn(12345, 12345, 12346, RGN_OR), REGION_ERROR);
    EXPECT_FALSE(DeleteObject(12345));
    EXPECT_EQ(program.regions().size(), 0u);
}

// A rectangle drawn backwards, or flat, is empty.
TEST(Region, ARectangleWithNoAreaIsEmpty)
{
    for (const Rect& rect : {Rect{4, 4, 2, 6}, Rect{0, 0, 5, 0}, Rect{3, 3, 3, 3}})
        EXPECT_TRUE(Region::rectangle(rect).isEmpty());
}

// Random rectangles combined at random, each step checked against bitmaps: every pixel,
// the bounds, and the banded form (rectangles in order, bands that touch differ, equal
// sets of pixels equal regions).
TEST(Region, AgreesWithBitmapsThroughRandomCombinations)
{
    constexpr int side = 12;
    using Bitmap = std::array<bool, side * side>;
    const auto bitmapOf = [](const Region& region) {
        Bitmap bits{};
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                bits[static_cast<std::size_t>(y * side + x)] = region.contains(x, y);
        return bits;
    };
    std::mt19937 random(31);
    const auto coordinate = [&] { return static_cast<int>(random() % (side + 1)); };
    Region region;
    Bitmap expected{};
    for (int step = 0; step < 4000; ++step) {
        const Rect rect{coordinate(), coordinate(), coordinate(), coordinate()};
        const Region other = Region::rectangle(rect);
        const Bitmap in = bitmapOf(other);
        const int operation = static_cast<int>(random() % 4);
        for (std::size_t at = 0; at < expected.size(); ++at)
            expected[at] = operation == 0   ? expected[at] || in[at]
                           : operation == 1 ? expected[at] && in[at]
                           : operation == 2 ? expected[at] && !in[at]
                                            : expected[at] != in[at];
        region = operation == 0   ? region.united(other)
                 : operation == 1 ? region.intersected(other)
                 : operation == 2 ? region.subtracted(other)
                                  : region.xored(other);
        ASSERT_EQ(bitmapOf(region), expected) << "step " << step;

        Region rebuilt;
        int pixels = 0;
        Rect before{};
        for (const Rect& piece : region.rects()) {
            ASSERT_TRUE(piece.width() > 0 && piece.height() > 0);
            ASSERT_TRUE(piece.top > before.top ||
                        (piece.top == before.top && piece.left >= before.right))
                << "step " << step;
            pixels += piece.width() * piece.height();
            rebuilt = rebuilt.united(Region::rectangle(piece));
            before = piece;
        }
        ASSERT_EQ(pixels, static_cast<int>(std::count(expected.begin(), expected.end(), true)));
        ASSERT_EQ(rebuilt, region) << "step " << step;
        ASSERT_EQ(region.translated(3, -2).translated(-3, 2), region);
        if (region.isEmpty())
            continue;
        const Rect bounds = region.bounds();
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                if (expected[static_cast<std::size_t>(y * side + x)]) {
                    ASSERT_TRUE(x >= bounds.left && x < bounds.right && y >= bounds.top &&
                                y < bounds.bottom);
                }
    }
}

} // namespace
