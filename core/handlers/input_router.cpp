#include "handlers/input_router.h"

#include "view/view.h"

#include <cmath>
#include <vector>

namespace bellwick {

namespace {

constexpr int kLeft = 1;

int floorToInt(float v) { return static_cast<int>(std::floor(v)); }

}  // namespace

bool takesPointer(const Control& c) { return c.kind == ControlKind::Image || c.kind == ControlKind::Label; }

const Control* InputRouter::controlAt(int x, int y) const
{
    const PixelPoint at = dpi_.unscale(x, y);
    const std::vector<Control*> order = backToFront(model_);
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        if ((*it)->visible && takesPointer(**it) && pixelRect(**it).contains(at.x, at.y)) return *it;
    return nullptr;
}

bool InputRouter::pointer(const PointerEvent& e)
{
    const int x = floorToInt(e.x), y = floorToInt(e.y);
    const Control* target = held_ ? held_ : controlAt(x, y);
    if (e.action == PointerAction::Press && !held_) heldByLeft_ = e.button == kLeft;
    if (e.action == PointerAction::Press) held_ = target;
    if (target && target->is("Image1") && e.action != PointerAction::Release) {
        const PixelRect r = dpi_.scale(pixelRect(*target));
        const float rx = e.x - static_cast<float>(r.left), ry = e.y - static_cast<float>(r.top);
        if (e.action == PointerAction::Press)
            handlers_.image1MouseDown(e.button, e.shift, rx, ry);
        else
            handlers_.image1MouseMove(e.buttons, e.shift, rx, ry);
    }
    if (e.action == PointerAction::Release && held_) {
        const PixelPoint at = dpi_.unscale(x, y);
        const bool click = e.button == kLeft && held_->is("Image3") && hitsBadge(model_, at.x, at.y);
        if (e.buttons == 0) held_ = nullptr;
        if (click) handlers_.image3Click();
    }
    return held_ != nullptr;
}

void InputRouter::released(const Control& c, int button)
{
    if (button == kLeft && c.is("txtFile")) handlers_.txtFileClick();
}

void InputRouter::activated(const Control& c)
{
    if (c.is("Image3")) handlers_.image3Click();
}

void InputRouter::closedBySystem() { handlers_.terminate(); }

}  // namespace bellwick
