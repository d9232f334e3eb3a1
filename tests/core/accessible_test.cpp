#include "window/accessible.h"
#include "window/layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace bellwick {
namespace {

struct AccessibleCase {
    const char* control;
    int index;
    AccessibleRole role;
    const char* name;
    bool readOnly;
};

std::ostream& operator<<(std::ostream& os, const AccessibleCase& c) { return os << c.control << '_' << c.index; }

class AccessibleTable : public ::testing::TestWithParam<AccessibleCase> {};

TEST_P(AccessibleTable, GivesEachControlItsRoleAndName)
{
    const AccessibleCase& e = GetParam();
    Window w = makeSnoozardLayout();
    const auto facts = accessibleOf(w.control(e.control, e.index));
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->role, e.role);
    EXPECT_EQ(facts->name, e.name);
    EXPECT_EQ(w.control(e.control, e.index).locked, e.readOnly);
}

using enum AccessibleRole;

INSTANTIATE_TEST_SUITE_P(Controls, AccessibleTable,
                         ::testing::Values(AccessibleCase{"Label1", -1, LiveText, "Current time", false},
                                           AccessibleCase{"Text1", -1, EditableText, "Alarm time", false},
                                           AccessibleCase{"Check1", -1, CheckBox, "Set Alarm", false},
                                           AccessibleCase{"txtFile", -1, EditableText, "Sound file", true},
                                           AccessibleCase{"cmdBrowse", -1, PushButton, "Browse", false},
                                           AccessibleCase{"Image3", -1, PushButton, "Close Bellwick", false},
                                           AccessibleCase{"Image1", -1, MoveHandle, "Move Bellwick", false},
                                           AccessibleCase{"Image2", 0, Decoration, "", false},
                                           AccessibleCase{"Image2", 1, Decoration, "", false},
                                           AccessibleCase{"Line1", 0, Decoration, "", false}),
                         [](const auto& info) {
                             const AccessibleCase& c = info.param;
                             return std::string(c.control) + (c.index >= 0 ? std::to_string(c.index) : "");
                         });

TEST(Accessible, EveryShownControlHasFactsAndOnlyDecorationsGoNameless)
{
    const Window w = makeSnoozardLayout();
    std::set<std::string_view> names;
    for (const Control& c : w.controls) {
        const bool shown =
            c.kind != ControlKind::Timer && c.kind != ControlKind::FileDialog && c.kind != ControlKind::MediaPlayer;
        const auto facts = accessibleOf(c);
        ASSERT_EQ(facts.has_value(), shown) << *c.name << ' ' << c.index;
        if (!facts) continue;
        EXPECT_EQ(facts->name.empty(), facts->role == AccessibleRole::Decoration) << *c.name;
        if (!facts->name.empty()) {
            EXPECT_TRUE(names.insert(facts->name).second) << facts->name;
        }
    }
}

TEST(Accessible, TheWindowIsNamedAfterTheProgram)
{
    EXPECT_EQ(kWindowAccessibleName, "Bellwick");
    EXPECT_EQ(makeSnoozardLayout().title, kWindowAccessibleName);
}

}  // namespace
}  // namespace bellwick
