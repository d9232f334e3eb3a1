#include "win32/win32_regions.h"

#include "win32/win_api.h"

#include <vector>

namespace bellwick {

namespace {

static_assert(static_cast<int>(CombineMode::Xor) == RGN_XOR);
static_assert(static_cast<int>(FillMode::Alternate) == ALTERNATE);
static_assert(sizeof(Region) >= sizeof(HRGN));

HRGN hrgn(Region r) { return reinterpret_cast<HRGN>(r); }

}  // namespace

Win32Regions::~Win32Regions() = default;

Region Win32Regions::hold(void* region)
{
    const auto r = reinterpret_cast<Region>(region);
    if (r) held_.emplace(r, win32::GdiRegion(static_cast<HRGN>(region)));
    return r;
}

void Win32Regions::release() { held_.clear(); }

Region Win32Regions::CreateRectRgn(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
{
    return hold(::CreateRectRgn(dpi_.scale(l), dpi_.scale(t), dpi_.scale(r), dpi_.scale(b)));
}

Region Win32Regions::CreateEllipticRgn(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
{
    return hold(::CreateEllipticRgn(dpi_.scale(l), dpi_.scale(t), dpi_.scale(r), dpi_.scale(b)));
}

Region Win32Regions::CreateRoundRectRgn(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, std::int32_t ew,
                                        std::int32_t eh)
{
    return hold(::CreateRoundRectRgn(dpi_.scale(l), dpi_.scale(t), dpi_.scale(r), dpi_.scale(b), dpi_.scale(ew),
                                     dpi_.scale(eh)));
}

Region Win32Regions::CreatePolygonRgn(const Point* points, int count, FillMode fillMode)
{
    if (!points || count < 0) return 0;
    std::vector<POINT> corners;
    corners.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        corners.push_back(POINT{dpi_.scale(points[i].x), dpi_.scale(points[i].y)});
    return hold(::CreatePolygonRgn(corners.data(), count, static_cast<int>(fillMode)));
}

int Win32Regions::CombineRgn(Region destination, Region source1, Region source2, CombineMode mode)
{
    return ::CombineRgn(hrgn(destination), hrgn(source1), hrgn(source2), static_cast<int>(mode));
}

int Win32Regions::SetWindowRgn(WindowHandle window, Region region, int redraw)
{
    const int set = ::SetWindowRgn(reinterpret_cast<HWND>(window), hrgn(region), redraw != 0);
    if (set) {
        if (const auto it = held_.find(region); it != held_.end()) {
            (void)it->second.release();  // the system's now
            held_.erase(it);
        }
        release();
    }
    return set;
}

}  // namespace bellwick
