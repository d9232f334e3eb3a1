#pragma once
// The window model as every toolkit draws it and routes input to it:
// pixel rectangles, the line's band, stacking and tab order, the badge's
// hit box and the mouse button bits. Geometry is read in twips whatever
// the window's scale mode.

#include "window/window.h"

#include <vector>

namespace bellwick {

struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
    // Inside: left <= x < left + width, top <= y < top + height.
    bool contains(int x, int y) const { return x >= left && y >= top && x - left < width && y - top < height; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct PixelPoint {
    int x = 0, y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// Twips to whole pixels, to the nearest (halves away from zero).
int toPixels(double twips);

// A control's rectangle in the client area; throws PropertyError for a
// control without a size.
PixelRect pixelRect(const Control& c);
// The box a line control fills: lineWidth pixels across, centred on the
// line, from one end point to the other. Throws PropertyError for a
// control without end points.
PixelRect lineBand(const Control& line);
// The client area, with its top-left corner at 0, 0.
PixelRect clientRect(const Window& w);

// Where the window's Left and Top put it on the screen.
PixelPoint screenPosition(const Window& w);
// The top-left corner that centres the window in area (a screen's work
// area), rounding towards the top-left as Qt does.
PixelPoint centredIn(const PixelRect& area, const Window& w);
// The same for a window of that size.
PixelPoint centredIn(const PixelRect& area, int width, int height);
// The windowing system moved the window to x, y: the model takes the new
// place unless its own twips already round to it (a move it asked for).
void movedOnScreen(Window& w, int x, int y);

// Every control, back to front: a toolkit that stacks later children on
// top creates them in this order.
std::vector<Control*> backToFront(Window& w);
// Controls that take the keyboard focus: text boxes, check boxes and
// command buttons.
bool takesFocus(const Control& c);
// The focus-taking controls with a tab index, by tab index.
std::vector<Control*> tabOrder(Window& w);
// The control focused when the window is shown; nullptr when none takes focus.
Control* firstFocus(Window& w);

// Whether a point of the client area lies on the badge (Image3).
bool hitsBadge(const Window& w, int clientX, int clientY);

// The mouse buttons held as the handlers count them: 1 left, 2 right, 4 middle.
int buttonState(bool left, bool right, bool middle);

}  // namespace bellwick
