#pragma once
// The shaping procedure's region operations on real GDI regions, at the
// window's DPI.

#include "ports/regions.h"
#include "win32/dpi.h"
#include "win32/handles.h"

#include <map>

namespace bellwick {

class Win32Regions final : public Regions {
public:
    Win32Regions() = default;
    Win32Regions(const Win32Regions&) = delete;
    Win32Regions& operator=(const Win32Regions&) = delete;
    // Deletes the regions still held.
    ~Win32Regions() override;

    Region CreateRectRgn(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override;
    Region CreateEllipticRgn(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override;
    Region CreateRoundRectRgn(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                              std::int32_t ellipseWidth, std::int32_t ellipseHeight) override;
    Region CreatePolygonRgn(const Point* points, int count, FillMode fillMode) override;
    int CombineRgn(Region destination, Region source1, Region source2, CombineMode mode) override;
    // On success the region belongs to the system and the intermediate
    // regions made so far are deleted.
    int SetWindowRgn(WindowHandle window, Region region, int redraw) override;

    // Regions made from here on are scaled from layout pixels to this DPI.
    void setDpi(Dpi dpi) { dpi_ = dpi; }

    // Regions made here and not yet deleted or handed over.
    std::size_t held() const { return held_.size(); }

private:
    Region hold(void* region);
    void release();

    std::map<Region, win32::GdiRegion> held_;
    Dpi dpi_;
};

}  // namespace bellwick
