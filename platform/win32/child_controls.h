#pragma once
// The controls that are child windows of the main window: text boxes as
// EDIT controls, check boxes and command buttons as BUTTON controls (the
// command button drawn by its owner: the system's look would hide its
// colour).

#include "win32/dpi.h"
#include "win32/gdi_objects.h"
#include "win32/win_api.h"
#include "window/control.h"

namespace bellwick {

// A child window for c at its pixel box at that DPI, hidden; nullptr for a
// control of another kind.
HWND createChild(const Control& c, HWND parent, int id, Dpi dpi);
// Moves a child to its box at a new DPI, with the font and margins of it.
void placeChild(HWND child, const Control& c, HFONT font, Dpi dpi);

// Paints an owner-drawn command button: its colour, caption and font, a
// darker face while pressed, the focus frame when focused and the
// window shows keyboard cues.
void drawButton(const DRAWITEMSTRUCT& item, const Control& c, HFONT font, GdiObjects& gdi, Dpi dpi);

}  // namespace bellwick
