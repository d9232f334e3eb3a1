#include "window/accessible.h"

#include <array>

namespace bellwick {

namespace {

struct Row {
    const char* control;
    int index;  // -1: not an array element
    AccessibleFacts facts;
};

using enum AccessibleRole;

// clang-format off
constexpr std::array<Row, 10> kAccessible{{
    {"Label1", -1, {LiveText, "Current time", ""}},
    {"Text1", -1, {EditableText, "Alarm time", "The time the alarm rings at"}},
    {"Check1", -1, {CheckBox, "Set Alarm", "Rings the alarm at the alarm time when ticked"}},
    {"txtFile", -1, {EditableText, "Sound file", "The sound the alarm plays"}},
    {"cmdBrowse", -1, {PushButton, "Browse", "Choose the sound file"}},
    {"Image3", -1, {PushButton, "Close Bellwick", ""}},
    {"Image1", -1, {MoveHandle, "Move Bellwick", "Drag to move the window"}},
    {"Image2", 0, {Decoration, "", ""}},
    {"Image2", 1, {Decoration, "", ""}},
    {"Line1", 0, {Decoration, "", ""}},
}};
// clang-format on

}  // namespace

std::optional<AccessibleFacts> accessibleOf(const Control& c)
{
    for (const Row& row : kAccessible)
        if (c.is(row.control, row.index)) return row.facts;
    return std::nullopt;
}

}  // namespace bellwick
