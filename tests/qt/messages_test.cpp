#include "qt/qt_messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace bellwick {
namespace {

struct BoxCase {
    const char* name;
    std::string text;
    std::string title;
    int style;
    QMessageBox::Icon icon;
};

std::ostream& operator<<(std::ostream& os, const BoxCase& c) { return os << c.name; }

struct Seen {
    bool shown = false;
    bool modal = false;
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    int buttonCount = 0;
    const QWidget* parent = nullptr;
};

class MessageBoxShow : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxShow, ShowsTitleTextIconAndOneOkButtonUntilOkIsClicked)
{
    const BoxCase& c = GetParam();
    Seen seen;
    QTimer::singleShot(0, qApp, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            ADD_FAILURE() << "no modal message box";
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
            }
            return;
        }
        seen = {true,
                box->isModal(),
                box->windowTitle(),
                box->text(),
                box->textFormat(),
                box->icon(),
                box->standardButtons(),
                static_cast<int>(box->buttons().size()),
                box->parentWidget()};
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->reject();
    });
    QWidget window;
    QtMessages messages;
    messages.setParentWindow(&window);
    messages.show(c.text, c.title, c.style);

    ASSERT_TRUE(seen.shown);
    EXPECT_TRUE(seen.modal);
    EXPECT_EQ(seen.title, QString::fromStdString(c.title));
    EXPECT_EQ(seen.text, QString::fromStdString(c.text));
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_EQ(seen.icon, c.icon);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(seen.buttonCount, 1);
    EXPECT_EQ(seen.parent, &window);
}

INSTANTIATE_TEST_SUITE_P(Styles, MessageBoxShow,
                         ::testing::Values(BoxCase{"Critical", "Cannot play /home/me/alarm.wav", "Bellwick", vbCritical,
                                                   QMessageBox::Critical},
                                           BoxCase{"OkOnly", "Alarm set.", "Bellwick", vbOKOnly, QMessageBox::NoIcon},
                                           BoxCase{"CriticalWithOtherBits", "x", "t", vbCritical | 256 | 4096,
                                                   QMessageBox::Critical},
                                           BoxCase{"Exclamation", "x", "t", 48, QMessageBox::NoIcon},
                                           BoxCase{"Question", "x", "t", 32, QMessageBox::NoIcon},
                                           BoxCase{"MarkupStaysText", "<b>not bold</b> & \xc3\xa4\nsecond line",
                                                   "T\xc3\xaftle <i>", vbCritical, QMessageBox::Critical},
                                           BoxCase{"Empty", "", "", vbOKOnly, QMessageBox::NoIcon}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace bellwick
