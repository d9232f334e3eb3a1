#include "qt/qt_messages.h"

#include <QMessageBox>
#include <QString>

namespace bellwick {

namespace {

QString fromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Bits 4 to 6 pick the icon: 16 critical, 32 question, 48 exclamation,
// 64 information; 48 shares a bit with 16 but is not critical.
constexpr int iconField = 0x70;

}  // namespace

void QtMessages::setParentWindow(QWidget* parent) { parent_ = parent; }

void QtMessages::show(std::string_view text, std::string_view title, int style)
{
    QMessageBox box(parent_);
    box.setWindowTitle(fromUtf8(title));
    box.setTextFormat(Qt::PlainText);
    box.setText(fromUtf8(text));
    box.setIcon((style & iconField) == vbCritical ? QMessageBox::Critical : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

}  // namespace bellwick
