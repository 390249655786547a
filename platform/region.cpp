#include "platform/region.h"

#include <algorithm>

namespace platform {

Region Region::rectangle(const Rect& rect)
{
    Region region;
    if (rect.width() > 0 && rect.height() > 0)
        region.bands_.push_back({rect.top, rect.bottom, {{rect.left, rect.right}}});
    return region;
}

bool Region::contains(int x, int y) const
{
    const auto band = std::upper_bound(bands_.begin(), bands_.end(), y,
                                       [](int row, const Band& b) { return row < b.top; });
    if (band == bands_.begin() || y >= std::prev(band)->bottom)
        return false;
    const std::vector<Run>& runs = std::prev(band)->runs;
    const auto run = std::upper_bound(runs.begin(), runs.end(), x,
                                      [](int column, const Run& r) { return column < r.left; });
    return run != runs.begin() && x < std::prev(run)->right;
}

std::vector<Rect> Region::rects() const
{
    std::vector<Rect> rects;
    for (const Band& band : bands_)
        for (const Run& run : band.runs)
            rects.push_back({run.left, band.top, run.right, band.bottom});
    return rects;
}

std::size_t Region::rectCount() const
{
    std::size_t count = 0;
    for (const Band& band : bands_)
        count += band.runs.size();
    return count;
}

Rect Region::bounds() const
{
    if (bands_.empty())
        return {};
    Rect bounds{bands_.front().runs.front().left, bands_.front().top,
                bands_.front().runs.back().right, bands_.back().bottom};
    for (const Band& band : bands_) {
        bounds.left = std::min(bounds.left, band.runs.front().left);
        bounds.right = std::max(bounds.right, band.runs.back().right);
    }
    return bounds;
}

Region Region::united(const Region& other) const { return combined(*this, other, Keep::either); }
Region Region::intersected(const Region& other) const { return combined(*this, other, Keep::both); }
Region Region::subtracted(const Region& other) const
{
    return combined(*this, other, Keep::firstOnly);
}
Region Region::xored(const Region& other) const { return combined(*this, other, Keep::one); }

Region Region::translated(int dx, int dy) const
{
    Region moved = *this;
    for (Band& band : moved.bands_) {
        band.top += dy;
        band.bottom += dy;
        for (Run& run : band.runs) {
            run.left += dx;
            run.right += dx;
        }
    }
    return moved;
}

// Both regions cut at every band edge of either: within each slice of rows, each has at
// most one band, and their runs are combined as `keep` says.
Region Region::combined(const Region& a, const Region& b, Keep keep)
{
    std::vector<int> edges;
    for (const Region* region : {&a, &b})
        for (const Band& band : region->bands_) {
            edges.push_back(band.top);
            edges.push_back(band.bottom);
        }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    static const std::vector<Run> none;
    const auto runsAt = [](const Region& region, std::size_t& at, int top) -> const auto&
    {
        while (at < region.bands_.size() && region.bands_[at].bottom <= top)
            ++at;
        return at < region.bands_.size() && region.bands_[at].top <= top ? region.bands_[at].runs
                                                                         : none;
    };
    Region result;
    std::size_t inA = 0, inB = 0;
    for (std::size_t edge = 0; edge + 1 < edges.size(); ++edge) {
        const int top = edges[edge];
        result.append(top, edges[edge + 1],
                      combinedRuns(runsAt(a, inA, top), runsAt(b, inB, top), keep));
    }
    return result;
}

// The same for the runs of one slice: cut at every run edge of either.
std::vector<Region::Run> Region::combinedRuns(const std::vector<Run>& a, const std::vector<Run>& b,
                                              Keep keep)
{
    std::vector<int> edges;
    for (const std::vector<Run>* runs : {&a, &b})
        for (const Run& run : *runs) {
            edges.push_back(run.left);
            edges.push_back(run.right);
        }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    const auto covers = [](const std::vector<Run>& runs, std::size_t& at, int left) {
        while (at < runs.size() && runs[at].right <= left)
            ++at;
        return at < runs.size() && runs[at].left <= left;
    };
    std::vector<Run> result;
    std::size_t inA = 0, inB = 0;
    for (std::size_t edge = 0; edge + 1 < edges.size(); ++edge) {
        const int left = edges[edge], right = edges[edge + 1];
        const bool first = covers(a, inA, left), second = covers(b, inB, left);
        const bool kept = keep == Keep::either      ? first || second
                          : keep == Keep::both      ? first && second
                          : keep == Keep::firstOnly ? first && !second
                                                    : first != second;
        if (!kept)
            continue;
        if (!result.empty() && result.back().right == left)
            result.back().right = right;
        else
            result.push_back({left, right});
    }
    return result;
}

// A band like the one above it and touching it joins it: a region has one form only.
void Region::append(int top, int bottom, std::vector<Run> runs)
{
    if (runs.empty())
        return;
    if (!bands_.empty() && bands_.back().bottom == top && bands_.back().runs == runs)
        bands_.back().bottom = bottom;
    else
        bands_.push_back({top, bottom, std::move(runs)});
}

} // namespace platform
