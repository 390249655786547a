#pragma once

// The region and pixel operations that cut a window to a shape. Coordinates are pixels
// of the window's client area.

#include "platform/colour.h"
#include "platform/pixels.h"
#include "platform/region.h"

#include <cstdint>
#include <map>

namespace platform {

class Form;

using RegionHandle = std::uint32_t; // 0: no region

constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

// CombineRgn's results.
constexpr int REGION_ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

// GetPixel's answer for a point outside the surface: equal to no colour.
constexpr Colour CLR_INVALID = 0xFFFFFFFF;

// The regions that the program owns, by handle.
class RegionTable {
public:
    RegionTable();
    ~RegionTable();
    RegionHandle create(const Region& region);
    Region* find(RegionHandle handle);
    bool release(RegionHandle handle);
    std::size_t size() const { return regions_.size(); }

private:
    std::map<RegionHandle, Region> regions_;
    RegionHandle next_ = 1;
};

RegionHandle CreateRectRgn(int left, int top, int right, int bottom);
int CombineRgn(RegionHandle destination, RegionHandle first, RegionHandle second, int mode);
bool DeleteObject(RegionHandle region);
// The window owns the region from then on; if it refuses it, the region is released.
int SetWindowRgn(Form& window, RegionHandle region, bool redraw);

// The window's persistent drawing surface, for GetPixel.
using DeviceContext = const Pixels&;
DeviceContext hDC(const Form& window);
Colour GetPixel(DeviceContext surface, int x, int y);

} // namespace platform
