#include "qt/widget_factory.h"

#include "qt/accessible_widgets.h"
#include "qt/clock_label.h"
#include "qt/picture_widget.h"
#include "view/look.h"
#include "view/view.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace bellwick {

namespace {

QRect qtRect(const PixelRect& r) { return QRect(r.left, r.top, r.width, r.height); }

QString css(const Rgb& c) { return qtColor(c).name(); }

QString resourceOf(PictureId p)
{
    const std::string_view file = look::pictureFile(p);
    if (file.empty()) return {};
    return QStringLiteral(":/") + QString::fromLatin1(file.data(), static_cast<qsizetype>(file.size()));
}

// A check box whose ticked state reads at a glance: a white tick in the
// indicator, which a style sheet cannot draw.
class TickBox final : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QCheckBox::paintEvent(event);
        if (!isChecked()) return;
        QStyleOptionButton option;
        initStyleOption(&option);
        const QRectF r = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this).adjusted(2, 2, -2, -2);
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(qtColor(look::kMark), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPointF tick[] = {
            {r.left(), r.top() + r.height() * 0.55}, {r.left() + r.width() * 0.4, r.bottom()}, {r.right(), r.top()}};
        p.drawPolyline(tick, 3);
    }
};

QWidget* makeClock(const Control& c, QWidget& window)
{
    auto* label = new ClockLabel(QString::fromStdString(c.text), &window, [&window](QPainter& p, const QRect& at) {
        // Whatever is stacked behind: the window's background and the pictures.
        p.fillRect(QRect(QPoint(), at.size()), window.palette().color(QPalette::Window));
        for (QObject* child : window.children()) {
            if (qobject_cast<ClockLabel*>(child)) break;  // the rest lies in front
            auto* picture = qobject_cast<PictureWidget*>(child);
            if (!picture || !picture->geometry().intersects(at)) continue;
            const QRect part = picture->geometry().intersected(at);
            picture->render(&p, part.topLeft() - at.topLeft(), QRegion(part.translated(-picture->pos())));
        }
    });
    // A palette, not a style sheet: the clock repaints every tick.
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, qtColor(look::fore(c)));
    label->setPalette(pal);
    return label;
}

QWidget* makeTextBox(const Control& c, QWidget& window)
{
    auto* edit = new QLineEdit(QString::fromStdString(c.text), &window);
    edit->setFrame(true);
    edit->setStyleSheet(
        QStringLiteral("QLineEdit { background: %1; color: %2; border: 1px solid %3; padding: 0 2px; }")
            .arg(css(look::back(c)), css(look::fore(c)), css(look::kTextBoxFrame)));
    edit->setReadOnly(c.locked);
    return edit;
}

QWidget* makeCheckBox(const Control& c, QWidget& window)
{
    auto* box = new TickBox(QString::fromStdString(c.text), &window);
    // A black indicator with a white frame on the red box; TickBox draws the tick.
    box->setStyleSheet(QStringLiteral("QCheckBox { background: %1; color: %2; padding-left: 4px; }"
                                      "QCheckBox::indicator { width: 11px; height: 11px; border: 1px solid %3;"
                                      " background: %4; }"
                                      "QCheckBox:focus { outline: 1px dotted %3; }")
                           .arg(css(look::back(c)), css(look::fore(c)), css(look::kMark), css(look::kCheckSquare)));
    box->setChecked(c.value == 1);
    return box;
}

QWidget* makeButton(const Control& c, QWidget& window)
{
    auto* button = new QPushButton(QString::fromStdString(c.text), &window);
    button->setStyleSheet(QStringLiteral("QPushButton { background: %1; color: %2; border: 1px solid %3; }"
                                         "QPushButton:pressed { background: %4; }"
                                         "QPushButton:focus { border: 1px dotted %5; }")
                              .arg(css(look::buttonFace(c, false)), css(look::fore(c)), css(look::kButtonFrame),
                                   css(look::buttonFace(c, true)), css(look::kMark)));
    return button;
}

QWidget* makeLine(const Control& c, QWidget& window)
{
    auto* line = new QWidget(&window);
    line->setAutoFillBackground(true);
    QPalette pal = line->palette();
    pal.setColor(QPalette::Window, qtColor(look::fore(c)));
    line->setPalette(pal);
    line->setAttribute(Qt::WA_TransparentForMouseEvents);
    return line;
}

QWidget* makeBare(const Control& c, QWidget& window)
{
    switch (c.kind) {
    case ControlKind::Label: return makeClock(c, window);
    case ControlKind::TextBox: return makeTextBox(c, window);
    case ControlKind::CheckBox: return makeCheckBox(c, window);
    case ControlKind::CommandButton: return makeButton(c, window);
    case ControlKind::Image: return new PictureWidget(resourceOf(c.picture), &window);
    case ControlKind::Line: return makeLine(c, window);
    case ControlKind::Shape:
    case ControlKind::Timer:
    case ControlKind::FileDialog:
    case ControlKind::MediaPlayer: break;
    }
    return nullptr;
}

}  // namespace

QColor qtColor(const Rgb& c) { return QColor(c.r, c.g, c.b); }

QFont qtFont(const Font& f)
{
    QFont font(QString::fromStdString(f.face));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(f.pixels);
    font.setWeight(f.weight >= 700 ? QFont::Bold : QFont::Normal);
    return font;
}

QWidget* makeWidget(const Control& c, QWidget& window)
{
    QWidget* w = makeBare(c, window);
    if (!w) return nullptr;
    w->setObjectName(QString::fromStdString(c.name.value_or("")) +
                     (c.index >= 0 ? QStringLiteral("_%1").arg(c.index) : QString()));
    w->setGeometry(qtRect(c.isLine() ? lineBand(c) : pixelRect(c)));
    if (c.font) w->setFont(qtFont(*c.font));
    if (!takesFocus(c)) w->setFocusPolicy(Qt::NoFocus);
    if (const auto facts = accessibleOf(c)) {
        w->setAccessibleName(QString::fromUtf8(facts->name.data(), static_cast<qsizetype>(facts->name.size())));
        w->setAccessibleDescription(
            QString::fromUtf8(facts->description.data(), static_cast<qsizetype>(facts->description.size())));
        if (auto* picture = qobject_cast<PictureWidget*>(w)) picture->setRole(facts->role);
    }
    w->setVisible(c.visible);
    return w;
}

}  // namespace bellwick
