#include "platform/gdi.h"

#include "platform/form.h"
#include "platform/program.h"

namespace platform {

RegionTable::RegionTable() = default;
RegionTable::~RegionTable() = default;

RegionHandle RegionTable::create(const Region& region)
{
    const RegionHandle handle = next_++;
    regions_.emplace(handle, region);
    return handle;
}

Region* RegionTable::find(RegionHandle handle)
{
    const auto it = regions_.find(handle);
    return it == regions_.end() ? nullptr : &it->second;
}

bool RegionTable::release(RegionHandle handle) { return regions_.erase(handle) > 0; }

static RegionTable& regions() { return Program::current().regions(); }

RegionHandle CreateRectRgn(int left, int top, int right, int bottom)
{
    return regions().create(Region::rectangle({left, top, right, bottom}));
}

int CombineRgn(RegionHandle destination, RegionHandle first, RegionHandle second, int mode)
{
    Region* target = regions().find(destination);
    const Region* a = regions().find(first);
    const Region* b = regions().find(second);
    if (!target || !a || (!b && mode != RGN_COPY))
        return REGION_ERROR;
    switch (mode) {
    case RGN_AND: *target = a->intersected(*b); break;
    case RGN_OR: *target = a->united(*b); break;
    case RGN_XOR: *target = a->xored(*b); break;
    case RGN_DIFF: *target = a->subtracted(*b); break;
    case RGN_COPY: *target = *a; break;
    default: return REGION_ERROR;
    }
    if (target->isEmpty())
        return NULLREGION;
    return target->rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool DeleteObject(RegionHandle region) { return regions().release(region); }

int SetWindowRgn(Form& window, RegionHandle region, bool /*redraw: the peer always redraws*/)
{
    const Region* shape = regions().find(region);
    if (!shape)
        return 0;
    const bool accepted = window.setShape(*shape);
    // Either way the program no longer owns the region: the window took it, or it was
    // refused and is released here rather than leaked.
    regions().release(region);
    return accepted ? 1 : 0;
}

DeviceContext hDC(const Form& window) { return window.drawingSurface(); }

Colour GetPixel(DeviceContext surface, int x, int y)
{
    if (!surface.valid(x, y))
        return CLR_INVALID;
    const std::uint32_t pixel = surface.pixel(x, y);
    return rgb(redOfPixel(pixel), greenOfPixel(pixel), blueOfPixel(pixel));
}

} // namespace platform
