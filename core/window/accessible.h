#pragma once
// What assistive technology is told about the window and its controls,
// written once beside the layout; each platform layer binds it.

#include "window/control.h"

#include <optional>
#include <string_view>

namespace bellwick {

enum class AccessibleRole {
    LiveText,      // text that changes by itself; its value is the text shown
    EditableText,  // read only when the control is locked
    CheckBox,      // its state is the control's value
    PushButton,    // its default action runs the control's click handler
    MoveHandle,    // dragging it moves the window
    Decoration,    // tells nothing: no name
};

struct AccessibleFacts {
    AccessibleRole role;
    std::string_view name;
    std::string_view description;
};

// The window's own accessible name.
inline constexpr std::string_view kWindowAccessibleName = "Bellwick";

// The facts for c; none for controls nothing is shown for (timer, dialog,
// player) or that the table does not know.
std::optional<AccessibleFacts> accessibleOf(const Control& c);

}  // namespace bellwick
