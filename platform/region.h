#pragma once

#include <cstddef>
#include <vector>

namespace platform {

// A rectangle of pixels: left and top inside, right and bottom just outside.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

// A set of pixels, as window shapes and the regions of the drawing calls hold them: bands
// of rows from top to bottom, each with the same runs of pixels from left to right, no two
// touching bands alike. That is the form window systems take a shape in (X's YXBanded
// rectangles, Windows' region data), so a region goes to either as its rectangles.
class Region {
public:
    Region() = default;
    // Empty if the rectangle is.
    static Region rectangle(const Rect& rect);

    bool isEmpty() const { return bands_.empty(); }
    bool contains(int x, int y) const;
    // The bands' rectangles, top to bottom and left to right; one for a rectangle.
    std::vector<Rect> rects() const;
    std::size_t rectCount() const;
    Rect bounds() const;

    Region united(const Region& other) const;
    Region intersected(const Region& other) const;
    Region subtracted(const Region& other) const;
    Region xored(const Region& other) const;
    Region translated(int dx, int dy) const;

    bool operator==(const Region&) const = default;

private:
    struct Run {
        int left, right;
        bool operator==(const Run&) const = default;
    };
    struct Band {
        int top, bottom;
        std::vector<Run> runs;
        bool operator==(const Band&) const = default;
    };
    enum class Keep { either, both, firstOnly, one };

    static Region combined(const Region& a, const Region& b, Keep keep);
    static std::vector<Run> combinedRuns(const std::vector<Run>& a, const std::vector<Run>& b,
                                         Keep keep);
    void append(int top, int bottom, std::vector<Run> runs);

    std::vector<Band> bands_;
};

} // namespace platform
