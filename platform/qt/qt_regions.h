#pragma once
// Window regions as QRegions; the window region becomes the widget's mask.

#include "ports/regions.h"

#include <QRegion>

#include <functional>
#include <map>

namespace bellwick {

class QtRegions final : public Regions {
public:
    // Applies a window region; called by SetWindowRgn.
    using Apply = std::function<void(WindowHandle, const QRegion&, bool redraw)>;
    explicit QtRegions(Apply apply = {}) : apply_(std::move(apply)) {}

    Region CreateRectRgn(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override;
    Region CreateEllipticRgn(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override;
    Region CreateRoundRectRgn(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                              std::int32_t ellipseWidth, std::int32_t ellipseHeight) override;
    Region CreatePolygonRgn(const Point* points, int count, FillMode fillMode) override;
    int CombineRgn(Region destination, Region source1, Region source2, CombineMode mode) override;
    int SetWindowRgn(WindowHandle window, Region region, int redraw) override;

    // The region behind a handle; an empty region for an unknown handle.
    QRegion region(Region handle) const;

private:
    Region add(QRegion r);

    Apply apply_;
    std::map<Region, QRegion> regions_;
    Region next_ = 0;
};

// Region results, as Windows gives them.
inline constexpr int ERROR_REGION = 0;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;
inline constexpr int COMPLEXREGION = 3;

}  // namespace bellwick
