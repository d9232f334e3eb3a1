#include "view/view.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace bellwick {

int toPixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

PixelRect pixelRect(const Control& c)
{
    if (!c.left || !c.top || !c.width || !c.height) throw PropertyError("control has no size");
    return {toPixels(*c.left), toPixels(*c.top), toPixels(*c.width), toPixels(*c.height)};
}

PixelRect lineBand(const Control& line)
{
    if (!line.x1 || !line.y1 || !line.x2 || !line.y2) throw PropertyError("control has no end points");
    const int x1 = toPixels(*line.x1), y1 = toPixels(*line.y1);
    const int x2 = toPixels(*line.x2), y2 = toPixels(*line.y2);
    const int left = std::min(x1, x2), top = std::min(y1, y2);
    const int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
    const int across = line.lineWidth, half = line.lineWidth / 2;
    // Thick across the line's run: sideways for a steep line, up and down for a flat one.
    if (dy >= dx) return {left - half, top, dx + across, dy + 1};
    return {left, top - half, dx + 1, dy + across};
}

PixelRect clientRect(const Window& w) { return {0, 0, toPixels(w.clientWidth), toPixels(w.clientHeight)}; }

PixelPoint screenPosition(const Window& w) { return {toPixels(w.left()), toPixels(w.top())}; }

PixelPoint centredIn(const PixelRect& area, const Window& w)
{
    const PixelRect client = clientRect(w);
    return centredIn(area, client.width, client.height);
}

PixelPoint centredIn(const PixelRect& area, int width, int height)
{
    // Centres as QRect::center() gives them: the middle pixel, rounded down.
    const auto centre = [](std::int64_t start, std::int64_t length) { return (2 * start + length - 1) / 2; };
    return {static_cast<int>(centre(area.left, area.width) - centre(0, width)),
            static_cast<int>(centre(area.top, area.height) - centre(0, height))};
}

void movedOnScreen(Window& w, int x, int y)
{
    if (screenPosition(w) == PixelPoint{x, y}) return;
    w.placedAt(x * kTwipsPerPixel, y * kTwipsPerPixel);
}

std::vector<Control*> backToFront(Window& w)
{
    std::vector<Control*> order;
    order.reserve(w.controls.size());
    for (Control& c : w.controls)
        order.push_back(&c);
    std::stable_sort(order.begin(), order.end(),
                     [](const Control* a, const Control* b) { return a->stacking > b->stacking; });
    return order;
}

bool takesFocus(const Control& c)
{
    return c.kind == ControlKind::TextBox || c.kind == ControlKind::CheckBox || c.kind == ControlKind::CommandButton;
}

std::vector<Control*> tabOrder(Window& w)
{
    std::vector<Control*> order;
    for (Control& c : w.controls)
        if (takesFocus(c) && c.tabIndex >= 0) order.push_back(&c);
    std::stable_sort(order.begin(), order.end(),
                     [](const Control* a, const Control* b) { return a->tabIndex < b->tabIndex; });
    return order;
}

Control* firstFocus(Window& w)
{
    const std::vector<Control*> order = tabOrder(w);
    return order.empty() ? nullptr : order.front();
}

bool hitsBadge(const Window& w, int clientX, int clientY)
{
    return pixelRect(w.control("Image3")).contains(clientX, clientY);
}

int buttonState(bool left, bool right, bool middle) { return (left ? 1 : 0) | (right ? 2 : 0) | (middle ? 4 : 0); }

}  // namespace bellwick
