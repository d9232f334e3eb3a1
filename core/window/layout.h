#pragma once
// The window as it is created: one table holds every control.

#include "window/window.h"

namespace bellwick {

// A new window model with the thirteen controls in their initial state.
Window makeSnoozardLayout();

}  // namespace bellwick
