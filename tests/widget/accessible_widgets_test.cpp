#include "widget_fixture.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

namespace bellwick {
namespace {

using Fixture = testing_support::WidgetFixture;

struct Expect {
    const char* widget;
    QAccessible::Role role;
    const char* name;
    bool readOnly;
};

std::ostream& operator<<(std::ostream& os, const Expect& e) { return os << e.widget; }

class AccessibleWidget : public ::testing::TestWithParam<Expect> {};

TEST_P(AccessibleWidget, HasItsRoleAndName)
{
    const Expect& e = GetParam();
    Fixture fx;
    QAccessibleInterface* a = fx.accessible(e.widget);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), e.role);
    EXPECT_EQ(a->text(QAccessible::Name), QString::fromUtf8(e.name));
    EXPECT_EQ(static_cast<bool>(a->state().readOnly), e.readOnly);
}

INSTANTIATE_TEST_SUITE_P(Controls, AccessibleWidget,
                         ::testing::Values(Expect{"Label1", QAccessible::StaticText, "Current time", true},
                                           Expect{"Text1", QAccessible::EditableText, "Alarm time", false},
                                           Expect{"Check1", QAccessible::CheckBox, "Set Alarm", false},
                                           Expect{"txtFile", QAccessible::EditableText, "Sound file", true},
                                           Expect{"cmdBrowse", QAccessible::Button, "Browse", false},
                                           Expect{"Image3", QAccessible::Button, "Close Bellwick", false},
                                           Expect{"Image1", QAccessible::Grip, "Move Bellwick", false},
                                           Expect{"Image2_0", QAccessible::Graphic, "", false},
                                           Expect{"Image2_1", QAccessible::Graphic, "", false}),
                         [](const auto& info) { return std::string(info.param.widget); });

TEST(AccessibleWindow, IsNamedBellwick)
{
    Fixture fx;
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(fx.widget.get());
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::Window);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Bellwick"));
}

TEST(AccessibleClock, ItsValueAndTextFollowTheTimeShown)
{
    Fixture fx;
    QAccessibleInterface* a = fx.accessible("Label1");
    ASSERT_NE(a, nullptr);
    QAccessibleTextInterface* text = a->textInterface();
    ASSERT_NE(text, nullptr);
    for (const char* shown : {"07:15:00", "23:59:59 Uhr"}) {
        fx.model.setText(fx.model.control("Label1"), shown);
        EXPECT_EQ(a->text(QAccessible::Value), QString::fromUtf8(shown));
        EXPECT_EQ(text->text(0, -1), QString::fromUtf8(shown));
        EXPECT_EQ(text->characterCount(), static_cast<int>(std::string_view(shown).size()));
    }
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Current time"));
}

TEST(AccessibleCheckBox, ItsStateFollowsTheModel)
{
    Fixture fx;
    QAccessibleInterface* a = fx.accessible("Check1");
    ASSERT_NE(a, nullptr);
    for (int value : {1, 0, 1}) {
        fx.model.setValue(fx.model.control("Check1"), value);
        EXPECT_EQ(static_cast<bool>(a->state().checked), value == 1) << value;
    }
}

enum class Way { Click, PressAction };

class AccessibleBadge : public ::testing::TestWithParam<Way> {};

TEST_P(AccessibleBadge, EndsTheProgramAsAClickDoes)
{
    Fixture fx;
    fx.widget->start();
    fx.f.player.calls.clear();
    QWidget* badge = fx.widget->findChild<QWidget*>(QStringLiteral("Image3"));
    ASSERT_NE(badge, nullptr);
    if (GetParam() == Way::Click) {
        QTest::mouseClick(badge, Qt::LeftButton, {}, QPoint(50, 50));
    } else {
        QAccessibleActionInterface* actions = QAccessible::queryAccessibleInterface(badge)->actionInterface();
        ASSERT_NE(actions, nullptr);
        ASSERT_EQ(actions->actionNames().value(0), QAccessibleActionInterface::pressAction());
        actions->doAction(QAccessibleActionInterface::pressAction());
    }
    EXPECT_EQ(fx.ended, 0);
    EXPECT_TRUE(fx.failures.empty());
    EXPECT_TRUE(fx.f.player.calls.empty());
    EXPECT_FALSE(fx.widget->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Ways, AccessibleBadge, ::testing::Values(Way::Click, Way::PressAction),
                         [](const auto& info) { return info.param == Way::Click ? "Click" : "PressAction"; });

TEST(AccessibleBanner, OffersNoPressAction)
{
    Fixture fx;
    QAccessibleActionInterface* actions = fx.accessible("Image1")->actionInterface();
    ASSERT_NE(actions, nullptr);
    EXPECT_FALSE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
}

}  // namespace
}  // namespace bellwick
