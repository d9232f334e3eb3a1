#include "widget_fixture.h"

#include "qt/clock_label.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <gtest/gtest.h>

namespace bellwick {
namespace {

using Fixture = testing_support::WidgetFixture;

TEST(SnoozardWidget, IsAFramelessFixedBlackWindow)
{
    Fixture fx;
    SnoozardWidget& w = *fx.widget;
    EXPECT_EQ(w.windowTitle(), "Bellwick");
    EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(w.size(), QSize(458, 377));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_EQ(w.palette().color(QPalette::Window), QColor(Qt::black));
}

TEST(SnoozardWidget, ControlsSitAtTheirPixelPlacesWithTheirFonts)
{
    Fixture fx;
    struct Expect {
        const char* name;
        QRect geometry;
        int pixelSize;  // 0: not checked
        bool bold;
    };
    const Expect cases[] = {
        {"cmdBrowse", {153, 341, 151, 16}, 11, true}, {"txtFile", {138, 286, 176, 21}, 11, false},
        {"Check1", {147, 110, 153, 25}, 11, false},   {"Text1", {136, 73, 177, 25}, 13, false},
        {"Label1", {141, 48, 169, 17}, 11, true},     {"Image3", {176, 179, 105, 96}, 0, false},
        {"Image2_1", {316, 163, 30, 144}, 0, false},  {"Image2_0", {107, 162, 30, 144}, 0, false},
        {"Image1", {13, 18, 432, 144}, 0, false},     {"Line1_0", {226, 309, 2, 33}, 0, false},
    };
    for (const Expect& e : cases) {
        const QWidget* w = fx.child<QWidget>(e.name);
        ASSERT_NE(w, nullptr) << e.name;
        EXPECT_EQ(w->geometry(), e.geometry) << e.name;
        if (e.pixelSize) {
            EXPECT_EQ(w->font().pixelSize(), e.pixelSize) << e.name;
            EXPECT_EQ(w->font().bold(), e.bold) << e.name;
        }
    }
    EXPECT_EQ(fx.child<QCheckBox>("Check1")->text(), "Set Alarm");
    EXPECT_EQ(fx.child<QPushButton>("cmdBrowse")->text(), "Browse");
    EXPECT_TRUE(fx.child<QLineEdit>("txtFile")->isReadOnly());
    EXPECT_FALSE(fx.child<QLineEdit>("Text1")->isReadOnly());
}

TEST(SnoozardWidget, StackingPutsTheBannerAtTheBack)
{
    Fixture fx;
    const QObjectList& kids = fx.widget->children();
    const auto pos = [&](const char* n) { return kids.indexOf(fx.child<QWidget>(n)); };
    for (const char* front : {"Label1", "Text1", "Check1", "Image3", "cmdBrowse"})
        EXPECT_LT(pos("Image1"), pos(front)) << front;
    EXPECT_EQ(fx.widget->childAt(225, 56), fx.child<QWidget>("Label1"));
}

TEST(SnoozardWidget, TabOrderAndFirstFocus)
{
    Fixture fx;
    fx.widget->start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fx.widget.get()));
    EXPECT_EQ(QApplication::focusWidget(), fx.child<QWidget>("Text1"));
    std::vector<QString> order;
    QWidget* w = fx.child<QWidget>("Text1");
    for (int i = 0; i < 4; ++i, w = w->nextInFocusChain()) {
        while (w->focusPolicy() == Qt::NoFocus)
            w = w->nextInFocusChain();
        order.push_back(w->objectName());
    }
    EXPECT_EQ(order, (std::vector<QString>{"Text1", "Check1", "txtFile", "cmdBrowse"}));
}

TEST(SnoozardWidget, ClosingByTheSystemStopsThePlayerAndEnds)
{
    Fixture fx;
    fx.widget->start();
    fx.f.player.calls.clear();
    fx.widget->close();
    EXPECT_EQ(fx.f.player.calls, (std::vector<std::string>{"stop"}));
    EXPECT_EQ(fx.ended, 0);
}

TEST(SnoozardWidget, BadgeClickEndsWithoutStop)
{
    Fixture fx;
    fx.widget->start();
    fx.f.player.calls.clear();
    QTest::mouseClick(fx.child<QWidget>("Image3"), Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_TRUE(fx.f.player.calls.empty());
    EXPECT_EQ(fx.ended, 0);
}

TEST(SnoozardWidget, MaskIsTheShapedRegion)
{
    Fixture fx;
    const QRegion mask = fx.widget->mask();
    for (QPoint p : {QPoint(5, 5), QPoint(60, 200), QPoint(400, 330)})
        EXPECT_FALSE(mask.contains(p)) << p.x() << "," << p.y();
    for (QPoint p : {QPoint(20, 25), QPoint(227, 320), QPoint(225, 56), QPoint(444, 161)})
        EXPECT_TRUE(mask.contains(p)) << p.x() << "," << p.y();
}

// White pixels inside the indicator's frame: none when clear, a tick when set.
int whiteInsideIndicator(QCheckBox& box)
{
    QStyleOptionButton option;
    option.initFrom(&box);
    const QRect r = box.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box).adjusted(2, 2, -2, -2);
    const QImage shot = box.grab().toImage();
    int white = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            white += qGray(shot.pixel(x, y)) > 200;
    return white;
}

TEST(SnoozardWidget, TickedBoxShowsATick)
{
    Fixture fx;
    auto* box = fx.child<QCheckBox>("Check1");
    EXPECT_EQ(whiteInsideIndicator(*box), 0);
    box->setChecked(true);
    EXPECT_GE(whiteInsideIndicator(*box), 8);
}

TEST(SnoozardWidget, ModelAndWidgetsStayInStep)
{
    Fixture fx;
    auto* box = fx.child<QCheckBox>("Check1");
    box->click();  // the user ticks
    EXPECT_EQ(fx.model.control("Check1").value, 1);
    EXPECT_EQ(fx.f.settings.saves.size(), 1u);
    fx.model.control("Check1").value = 1;
    fx.model.setValue(fx.model.control("Check1"), 0);  // the program unticks
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(fx.f.settings.saves.size(), 2u);

    auto* text1 = fx.child<QLineEdit>("Text1");
    text1->selectAll();
    QTest::keyClicks(text1, "07:30:00");
    EXPECT_EQ(fx.model.control("Text1").text, "07:30:00");

    fx.f.clock.set(2026, 12, 7, 8, 9, 10);
    fx.s.timer1Tick();
    EXPECT_EQ(fx.child<ClockLabel>("Label1")->text(), "08:09:10");
    EXPECT_TRUE(fx.failures.empty());
}

// The clock's own glyph run must put every pixel where Qt's text drawing does.
TEST(SnoozardWidget, ClockDrawsAsQtDrawsText)
{
    Fixture fx;
    ClockLabel& clock = *fx.child<ClockLabel>("Label1");
    const auto image = [&](const QString& text, bool shaped) {
        clock.showText(text);
        QImage out(clock.size(), QImage::Format_RGB32);
        QPainter p(&out);
        shaped ? clock.drawShaped(p) : clock.draw(p);
        return out;
    };
    const QImage blank = image(QString(), true);
    for (const char* text : {"08:09:10", "23:59:59", "00:00:00", "11:11:11", "7.05.09", "12:34:56 PM"}) {
        const QImage drawn = image(QString::fromLatin1(text), false);
        EXPECT_EQ(drawn, image(QString::fromLatin1(text), true)) << text;
        EXPECT_NE(drawn, blank) << text;
    }
}

TEST(SnoozardWidget, SpaceBarTicksTheBox)
{
    Fixture fx;
    auto* box = fx.child<QCheckBox>("Check1");
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_EQ(fx.model.control("Check1").value, 1);
    EXPECT_EQ(fx.f.settings.saves.size(), 1u);
}

TEST(SnoozardWidget, ClickIntoTheFileBoxSelectsItAll)
{
    Fixture fx;
    fx.model.setText(fx.model.control("txtFile"), "/Grüße/🔔.wav");
    auto* edit = fx.child<QLineEdit>("txtFile");
    QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(edit->selectedText(), QString::fromUtf8("/Grüße/🔔.wav"));
    EXPECT_EQ(fx.model.control("txtFile").selLength, 12);
}

TEST(SnoozardWidget, BannerDragMovesTheWindowByTheOffset)
{
    Fixture fx;
    fx.widget->start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fx.widget.get()));
    fx.widget->move(100, 100);
    QApplication::processEvents();
    QWidget* banner = fx.child<QWidget>("Image1");
    QTest::mousePress(banner, Qt::LeftButton, {}, QPoint(40, 100));
    QMouseEvent move(QEvent::MouseMove, QPointF(70, 115), banner->mapToGlobal(QPointF(70, 115)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(banner, &move);
    EXPECT_EQ(fx.widget->pos(), QPoint(130, 115));
    EXPECT_EQ(fx.model.left(), 130 * 15);
    EXPECT_EQ(fx.model.top(), 115 * 15);
}

}  // namespace
}  // namespace bellwick
