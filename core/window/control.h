#pragma once
// One control of the window as a set of properties. Geometry is kept in
// twips; the window converts it to its current scale unit on reading.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace bellwick {

enum class ControlKind {
    Label,
    TextBox,
    CheckBox,
    CommandButton,
    Image,
    Line,
    Shape,
    Timer,
    FileDialog,
    MediaPlayer,
};

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct Font {
    std::string face;
    double points = 0;  // nominal size
    int pixels = 0;     // size used on screen (96 dots per inch)
    int weight = 400;
    friend bool operator==(const Font&, const Font&) = default;
};

// The picture an image control shows.
enum class PictureId { None, Banner, Bar, Badge };

// Which property of a control changed; the platform layer mirrors it.
enum class Property { Text, Value, Selection, Geometry, Visible };

struct Control {
    ControlKind kind = ControlKind::Label;
    std::optional<std::string> name;  // empty optional: the name cannot be read
    int index = -1;                   // element of a control array, or -1

    // Bounding box in twips; absent for controls without a size.
    std::optional<double> left, top, width, height;
    // End points in twips, line controls only.
    std::optional<double> x1, y1, x2, y2;
    // Shape controls only.
    std::optional<int> shape, backStyle;

    std::string text;  // caption or text
    int value = 0;     // check box state: 0 unticked, 1 ticked, 2 grey
    int selStart = 0, selLength = 0;
    bool visible = true;
    bool locked = false;  // text boxes: shown and selectable, not editable

    std::optional<Font> font;  // none: the window's default font
    std::optional<Rgb> backColor, foreColor;
    int lineWidth = 0;                    // pixels, line controls only
    int stacking = 0;                     // 0 is the front
    int tabIndex = -1;                    // -1: not in the tab order
    int intervalMs = 0;                   // timers only
    PictureId picture = PictureId::None;  // image controls only

    bool isLine() const { return kind == ControlKind::Line; }
    bool isShape() const { return kind == ControlKind::Shape; }
    bool is(std::string_view n, int i = -1) const { return name && *name == n && index == i; }
};

}  // namespace bellwick
