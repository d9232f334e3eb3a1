#include "window/window.h"

#include <utility>

namespace bellwick {

namespace {
const Control* find(const std::vector<Control>& controls, std::string_view name, int index)
{
    for (const Control& c : controls)
        if (c.is(name, index)) return &c;
    return nullptr;
}
}  // namespace

Control& Window::control(std::string_view name, int index)
{
    return const_cast<Control&>(std::as_const(*this).control(name, index));
}

const Control& Window::control(std::string_view name, int index) const
{
    if (const Control* c = find(controls, name, index)) return *c;
    throw PropertyError("no control " + std::string(name));
}

double Window::scale() const { return scaleMode == ScaleMode::Pixels ? kTwipsPerPixel : 1.0; }

double Window::property(const Control& c, std::string_view prop) const
{
    auto geometry = [&](const std::optional<double>& v) {
        if (!v) throw PropertyError("control has no property " + std::string(prop));
        return *v / scale();
    };
    auto integer = [&](const std::optional<int>& v) {
        if (!v) throw PropertyError("control has no property " + std::string(prop));
        return static_cast<double>(*v);
    };
    if (prop == "Left") return geometry(c.left);
    if (prop == "Top") return geometry(c.top);
    if (prop == "Width") return geometry(c.width);
    if (prop == "Height") return geometry(c.height);
    if (prop == "X1") return geometry(c.x1);
    if (prop == "Y1") return geometry(c.y1);
    if (prop == "X2") return geometry(c.x2);
    if (prop == "Y2") return geometry(c.y2);
    if (prop == "Shape") return integer(c.shape);
    if (prop == "BackStyle") return integer(c.backStyle);
    throw PropertyError("unknown property " + std::string(prop));
}

const std::string& Window::name(const Control& c) const
{
    if (!c.name) throw PropertyError("control name cannot be read");
    return *c.name;
}

void Window::setText(Control& c, std::string text)
{
    if (c.text == text) return;
    c.text = std::move(text);
    if (onChange) onChange(c, Property::Text);
    if (onText) onText(c);
}

void Window::setValue(Control& c, int value)
{
    if (c.value == value) return;
    c.value = value;
    if (onChange) onChange(c, Property::Value);
    if (c.kind == ControlKind::CheckBox && onClick) onClick(c);
}

void Window::setSelection(Control& c, int start, int length)
{
    c.selStart = start;
    c.selLength = length;
    if (onChange) onChange(c, Property::Selection);
}

void Window::setLeft(double twips)
{
    left_ = static_cast<float>(twips);
    if (onMove) onMove();
}

void Window::setTop(double twips)
{
    top_ = static_cast<float>(twips);
    if (onMove) onMove();
}

void Window::placedAt(double leftTwips, double topTwips)
{
    left_ = static_cast<float>(leftTwips);
    top_ = static_cast<float>(topTwips);
}

}  // namespace bellwick
