#include "qt/accessible_widgets.h"

#include "qt/clock_label.h"
#include "qt/picture_widget.h"
#include "qt/snoozard_widget.h"

#include <QAccessibleWidget>

namespace bellwick {

namespace {

// A picture: a button whose press action runs its click, a move handle, or
// a decoration.
class PictureAccessible final : public QAccessibleWidget {
public:
    explicit PictureAccessible(PictureWidget* w) : QAccessibleWidget(w) {}

    // Read each time: Qt keeps the interface, which may be made before the
    // picture gets its role.
    QAccessible::Role role() const override { return qtRole(picture()->role()); }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (picture()->onPress) names.prepend(pressAction());
        return names;
    }

    void doAction(const QString& name) override
    {
        if (name == pressAction() && picture()->onPress)
            picture()->onPress();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    PictureWidget* picture() const { return static_cast<PictureWidget*>(widget()); }
};

// The clock: read-only text whose value is the time shown.
class ClockAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ClockAccessible(ClockLabel* w) : QAccessibleWidget(w, qtRole(AccessibleRole::LiveText)) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? shown() : QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        return s;
    }

    // Text: no caret, no selection.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override
    {
        const QString all = shown();
        if (end < 0 || end > all.size()) end = static_cast<int>(all.size());
        return start < 0 || start > end ? QString() : all.mid(start, end - start);
    }
    int characterCount() const override { return static_cast<int>(shown().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override
    {
        *start = *end = offset;
        return {};
    }

private:
    QString shown() const { return static_cast<ClockLabel*>(widget())->text(); }
};

QAccessibleInterface* makeInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String(PictureWidget::staticMetaObject.className()))
        return new PictureAccessible(static_cast<PictureWidget*>(object));
    if (className == QLatin1String(ClockLabel::staticMetaObject.className()))
        return new ClockAccessible(static_cast<ClockLabel*>(object));
    // A plain widget to Qt, but the program's window.
    if (className == QLatin1String(SnoozardWidget::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<SnoozardWidget*>(object), QAccessible::Window);
    return nullptr;
}

}  // namespace

QAccessible::Role qtRole(AccessibleRole role)
{
    switch (role) {
    case AccessibleRole::LiveText: return QAccessible::StaticText;
    case AccessibleRole::EditableText: return QAccessible::EditableText;
    case AccessibleRole::CheckBox: return QAccessible::CheckBox;
    case AccessibleRole::PushButton: return QAccessible::Button;
    case AccessibleRole::MoveHandle: return QAccessible::Grip;
    case AccessibleRole::Decoration: break;
    }
    return QAccessible::Graphic;
}

void installAccessibleWidgets() { QAccessible::installFactory(makeInterface); }

}  // namespace bellwick
