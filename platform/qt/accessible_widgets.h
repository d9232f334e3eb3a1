#pragma once
// Accessible interfaces for the widgets Qt gives no fitting one: the
// pictures (by the role the core's table gives them), the drawn clock and
// the main window.

#include "window/accessible.h"

#include <QAccessible>

namespace bellwick {

// Qt's role for a role of the core's table.
QAccessible::Role qtRole(AccessibleRole role);

// Registers the interfaces' factory with QAccessible; more than once is
// harmless.
void installAccessibleWidgets();

}  // namespace bellwick
