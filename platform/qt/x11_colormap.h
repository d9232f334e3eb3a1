#pragma once
// Qt's xcb backend gives every window a colormap of its own, even when the
// window has the screen's default visual. Screenshot tools that read the screen
// per visual and colormap (xwd -root, import -window root) then copy such a
// window's whole rectangle and ignore its shape, so the desktop behind the
// see-through parts of a masked window is lost. A window on the default visual
// loses nothing by using the screen's default colormap instead.

class QWidget;

namespace bellwick {

// Creates the window's native window if needed and, on X11, points it at the
// screen's default colormap when it has the default visual. A no-op elsewhere.
void useDefaultColormap(QWidget& window);

}  // namespace bellwick
