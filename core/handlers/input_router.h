#pragma once
// Which handler the user's pointer and clicks run. The platforms hand over
// their raw events; the rules are here, once:
// - a press goes to the front-most picture or label under the pointer, and
//   that control holds the pointer until every button is up;
// - presses on the clock go nowhere (no drag starts from it);
// - the banner (Image1) takes presses and moves, relative to its corner;
// - the badge (Image3) is clicked by a left release over its hit box;
// - a left click into the file box runs its handler after the edit's own;
// - an assistive tool's press on the badge is its click;
// - a close by the system takes the termination path.

#include "handlers/snoozard.h"
#include "view/dpi.h"
#include "window/window.h"

namespace bellwick {

enum class PointerAction { Press, Move, Release };

struct PointerEvent {
    PointerAction action = PointerAction::Move;
    int button = 0;      // the button pressed or released: 1 left, 2 right, 4 middle
    int buttons = 0;     // those held after the event, as buttonState counts them
    int shift = 0;       // 1 Shift, 2 Ctrl, 4 Alt
    float x = 0, y = 0;  // in the window's own pixels, at its DPI
};

// Whether the pointer's presses on c are the router's: the painted
// pictures and the clock. Lines let them through to what lies behind.
bool takesPointer(const Control& c);

class InputRouter {
public:
    InputRouter(Window& model, Snoozard& handlers) : model_(model), handlers_(handlers) {}

    // The DPI the window is laid out at; 96 unless told.
    void setDpi(Dpi dpi) { dpi_ = dpi; }

    // An event on the painted surface. True while a control holds the
    // pointer: the platform keeps it captured until this turns false.
    bool pointer(const PointerEvent& e);
    // The capture went elsewhere (another window took it).
    void pointerLost() { held_ = nullptr; }
    bool holding() const { return held_ != nullptr; }
    // The left button holds the banner: the window is being dragged. Where
    // the compositor places windows, the platform hands the move to it.
    bool dragging() const { return held_ && held_->is("Image1") && heldByLeft_; }

    // A button released inside a child control, after its own handling.
    void released(const Control& c, int button);
    // An assistive tool's press (default action) on c.
    void activated(const Control& c);
    // The system asks the window to close (Alt+F4, the window manager, the
    // session ending).
    void closedBySystem();

private:
    const Control* controlAt(int x, int y) const;

    Window& model_;
    Snoozard& handlers_;
    Dpi dpi_;
    const Control* held_ = nullptr;
    bool heldByLeft_ = false;
};

}  // namespace bellwick
