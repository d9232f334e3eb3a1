#pragma once
// Cuts the window to the outlines of its controls.

#include "ports/messages.h"
#include "ports/process.h"
#include "ports/regions.h"
#include "window/window.h"

namespace bellwick {

// Sets the window's scale mode to pixels, refuses a bordered window (message,
// then the process ends) and makes the exclusive or of the controls'
// outlines the window's region. Every step stands alone: a step that cannot
// be carried out (a missing property, a value that cannot be computed) has
// no effect, and a test that cannot be made counts as passed.
void MakeTransparent(Window& window, Regions& regions, Messages& messages, Process& process);

}  // namespace bellwick
