#pragma once
// The window model: the source of truth for the state of the window and
// its controls. Handlers read and write it; a platform layer mirrors it.

#include "window/control.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace bellwick {

inline constexpr double kTwipsPerPixel = 15.0;  // 96 dots per inch

enum class ScaleMode : int { Twips = 1, Pixels = 3 };

// Reading a property that a control does not have.
struct PropertyError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

using WindowHandle = std::uintptr_t;

class Window {
public:
    using ChangeHook = std::function<void(Control&, Property)>;
    using ClickHook = std::function<void(Control&)>;
    using TextHook = std::function<void(Control&)>;
    using MoveHook = std::function<void()>;
    using RepaintHook = std::function<void(Control&)>;
    using CloseHook = std::function<void()>;

    std::string title;
    int clientWidth = 0, clientHeight = 0;  // twips
    Rgb backColor;
    int borderStyle = 0;
    ScaleMode scaleMode = ScaleMode::Twips;
    WindowHandle handle = 0;
    std::optional<Font> defaultFont;
    std::vector<Control> controls;  // in the order of the control collection

    // Control lookup; throws PropertyError when there is no such control.
    Control& control(std::string_view name, int index = -1);
    const Control& control(std::string_view name, int index = -1) const;

    // A property by name in the current scale unit: Left, Top, Width,
    // Height, X1, Y1, X2, Y2, Shape, BackStyle. Throws PropertyError when
    // the control lacks it.
    double property(const Control& c, std::string_view prop) const;
    // The control's name; throws PropertyError when it cannot be read.
    const std::string& name(const Control& c) const;

    // Text, value and selection setters notify the platform layer; a value
    // change of a check box runs its click hook before returning.
    void setText(Control& c, std::string text);
    void setValue(Control& c, int value);
    void setSelection(Control& c, int start, int length);

    // The window's screen position, always in twips.
    double left() const { return left_; }
    double top() const { return top_; }
    void setLeft(double twips);
    void setTop(double twips);
    // Position changes made by the windowing system itself; no move hook.
    void placedAt(double leftTwips, double topTwips);

    // Paints the control now, without waiting for the next paint event.
    void repaint(Control& c)
    {
        if (onRepaint) onRepaint(c);
    }
    // Closes the window on screen; the model stays.
    void close()
    {
        if (onClose) onClose();
    }
    // Asks for the user's attention as the desktop allows (raise, flash,
    // urgency): for an alarm that cannot make a sound.
    void alert()
    {
        if (onAlert) onAlert();
    }

    ChangeHook onChange;  // platform mirror
    ClickHook onClick;    // check box value changes
    TextHook onText;      // the handlers' own watch on texts, after the mirror
    MoveHook onMove;      // Left or Top written
    RepaintHook onRepaint;
    CloseHook onClose;
    CloseHook onAlert;

private:
    double scale() const;
    float left_ = 0, top_ = 0;  // single precision, as the window keeps them
};

}  // namespace bellwick
