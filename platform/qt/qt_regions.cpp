#include "qt/qt_regions.h"

#include <QPainterPath>
#include <QPolygon>

#include <algorithm>

namespace bellwick {

namespace {

// Windows rectangles exclude their right and bottom edges; so does QRect
// built from a size. Inverted corners give an empty region, as on Windows.
QRect boxOf(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
{
    return QRect(QPoint(l, t), QSize(std::max(0, r - l), std::max(0, b - t)));
}

int kindOf(const QRegion& r)
{
    if (r.isEmpty()) return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

Region QtRegions::add(QRegion r)
{
    regions_[++next_] = std::move(r);
    return next_;
}

QRegion QtRegions::region(Region handle) const
{
    const auto it = regions_.find(handle);
    return it == regions_.end() ? QRegion() : it->second;
}

Region QtRegions::CreateRectRgn(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
{
    return add(QRegion(boxOf(l, t, r, b)));
}

Region QtRegions::CreateEllipticRgn(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
{
    return add(QRegion(boxOf(l, t, r, b), QRegion::Ellipse));
}

Region QtRegions::CreateRoundRectRgn(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, std::int32_t ew,
                                     std::int32_t eh)
{
    const QRect box = boxOf(l, t, r, b);
    if (box.isEmpty()) return add(QRegion());
    QPainterPath path;
    path.addRoundedRect(QRectF(box), std::max(0, ew) / 2.0, std::max(0, eh) / 2.0);
    return add(QRegion(path.toFillPolygon().toPolygon(), Qt::WindingFill));
}

Region QtRegions::CreatePolygonRgn(const Point* points, int count, FillMode fillMode)
{
    QPolygon polygon;
    for (int i = 0; i < count; ++i)
        polygon << QPoint(points[i].x, points[i].y);
    return add(QRegion(polygon, fillMode == FillMode::Alternate ? Qt::OddEvenFill : Qt::WindingFill));
}

int QtRegions::CombineRgn(Region destination, Region source1, Region source2, CombineMode mode)
{
    if (!regions_.count(destination) || mode != CombineMode::Xor) return ERROR_REGION;
    const QRegion result = region(source1).xored(region(source2));
    regions_[destination] = result;
    return kindOf(result);
}

int QtRegions::SetWindowRgn(WindowHandle window, Region region, int redraw)
{
    const auto it = regions_.find(region);
    if (it == regions_.end()) return 0;
    // The system owns the region from here on.
    const QRegion r = it->second;
    regions_.clear();
    if (apply_) apply_(window, r, redraw != 0);
    return 1;
}

}  // namespace bellwick
