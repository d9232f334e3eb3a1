#include "qt/model_mirror.h"

#include "qt/clock_label.h"
#include "text/utf16.h"
#include "view/view.h"

#include <QCheckBox>
#include <QLineEdit>

namespace bellwick {

ModelMirror::ModelMirror(Window& model, QWidget& window, WidgetOf widgetOf)
    : model_(model), window_(window), widgetOf_(std::move(widgetOf))
{
    model_.onChange = [this](Control& c, Property p) { changed(c, p); };
    model_.onRepaint = [this](Control& c) {
        QWidget* w = widgetOf_(c);
        if (auto* clock = qobject_cast<ClockLabel*>(w))
            clock->paintNow();
        else if (w)
            w->repaint();
    };
    model_.onMove = [this] {
        const PixelPoint at = screenPosition(model_);
        window_.move(at.x, at.y);
    };
}

ModelMirror::~ModelMirror()
{
    model_.onChange = nullptr;
    model_.onRepaint = nullptr;
    model_.onMove = nullptr;
}

void ModelMirror::changed(const Control& c, Property p)
{
    QWidget* w = widgetOf_(c);
    if (!w) return;
    switch (p) {
    case Property::Text:
        if (auto* clock = qobject_cast<ClockLabel*>(w)) {
            clock->showText(QString::fromStdString(c.text));
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            const QString text = QString::fromStdString(c.text);
            if (edit->text() != text) edit->setText(text);
        }
        break;
    case Property::Value:
        if (auto* box = qobject_cast<QCheckBox*>(w)) {
            const QSignalBlocker block(box);
            box->setChecked(c.value == 1);
        }
        break;
    case Property::Selection:
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            const Utf16Range units = utf16Selection(c.text, c.selStart, c.selLength);
            edit->setSelection(units.start, units.length);
        }
        break;
    case Property::Geometry:
    case Property::Visible: w->setVisible(c.visible); break;
    }
}

}  // namespace bellwick
