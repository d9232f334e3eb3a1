#pragma once
// The widget that shows one control of the window model: its kind, place,
// font, colours and picture. Input is bound elsewhere (InputBinding).

#include "window/control.h"

#include <QColor>
#include <QFont>

class QWidget;

namespace bellwick {

QColor qtColor(const Rgb& c);
QFont qtFont(const Font& f);

// A new child of window for c, named after it ("Image2_1" for an array
// element); nullptr for controls that show nothing (timer, dialog, player).
QWidget* makeWidget(const Control& c, QWidget& window);

}  // namespace bellwick
