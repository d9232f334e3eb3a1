#include "qt/snoozard_widget.h"

#include "qt/clock_label.h"
#include "qt/picture_widget.h"
#include "qt/window_icon.h"
#include "qt/x11_colormap.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <vector>

namespace bellwick {

namespace {

int px(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

QRect geometryOf(const Control& c) { return QRect(px(*c.left), px(*c.top), px(*c.width), px(*c.height)); }

QColor qColor(const Rgb& c) { return QColor(c.r, c.g, c.b); }

QString css(const Rgb& c) { return qColor(c).name(); }

QFont fontOf(const Font& f)
{
    QFont font(QString::fromStdString(f.face));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(f.pixels);
    font.setWeight(f.weight >= 700 ? QFont::Bold : QFont::Normal);
    return font;
}

// The mouse buttons held, as the handlers count them: 1 left, 2 right, 4 middle.
int buttonState(Qt::MouseButtons b)
{
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (b & Qt::MiddleButton ? 4 : 0);
}

// Text positions in UTF-16 units from a count of characters (code points).
int utf16Length(const QString& s, int codePoints)
{
    int units = 0;
    for (int n = 0; n < codePoints && units < s.size(); ++n)
        units += s.at(units).isHighSurrogate() ? 2 : 1;
    return std::min<int>(units, s.size());
}

QString pictureOf(const Control& c)
{
    if (c.is("Image1")) return QStringLiteral(":/banner.gif");
    if (c.is("Image3")) return QStringLiteral(":/badge.jpg");
    return QStringLiteral(":/bar.jpg");
}

}  // namespace

SnoozardWidget::SnoozardWidget(Window& model, Snoozard& handlers, Guard guard)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      model_(model),
      handlers_(handlers),
      guard_(std::move(guard))
{
    setObjectName(QStringLiteral("Snoozard"));
    setWindowTitle(QString::fromStdString(model_.title));
    setFixedSize(px(model_.clientWidth), px(model_.clientHeight));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, qColor(model_.backColor));
    setPalette(pal);
    if (model_.defaultFont) setFont(fontOf(*model_.defaultFont));
    QFile icon(QStringLiteral(":/bellwick.ico"));
    if (icon.open(QIODevice::ReadOnly)) setWindowIcon(QIcon(QPixmap::fromImage(iconFromIco(icon.readAll()))));
    model_.handle = reinterpret_cast<WindowHandle>(this);
    build();

    model_.onChange = [this](Control& c, Property p) { mirror(c, p); };
    model_.onRepaint = [this](Control& c) {
        if (QWidget* w = widgetOf(c)) w->repaint();
    };
    model_.onClose = [this] {
        closing_ = true;
        close();
    };
    model_.onMove = [this] { placeFromModel(); };

    const Control& timer = model_.control("Timer1");
    timer_.setInterval(timer.intervalMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { guard_([this] { handlers_.timer1Tick(); }); });
}

SnoozardWidget::~SnoozardWidget()
{
    model_.onChange = nullptr;
    model_.onRepaint = nullptr;
    model_.onClose = nullptr;
    model_.onMove = nullptr;
}

void SnoozardWidget::build()
{
    // Back to front, so that later widgets lie on top.
    std::vector<Control*> order;
    for (Control& c : model_.controls)
        order.push_back(&c);
    std::stable_sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->stacking > b->stacking; });
    for (Control* c : order)
        if (QWidget* w = create(*c)) {
            w->setObjectName(QString::fromStdString(c->name.value_or("")) +
                             (c->index >= 0 ? QStringLiteral("_%1").arg(c->index) : QString()));
            if (c->font) w->setFont(fontOf(*c->font));
            w->setVisible(c->visible);
            widgets_[c] = w;
        }
    setUpTabOrder();
}

QWidget* SnoozardWidget::create(Control& c)
{
    switch (c.kind) {
    case ControlKind::Label: {
        auto* label = new ClockLabel(QString::fromStdString(c.text), this, [this](QPainter& p, const QRect& at) {
            // Whatever is stacked behind: the window's background and the pictures.
            p.fillRect(QRect(QPoint(), at.size()), palette().color(QPalette::Window));
            for (QObject* child : children()) {
                if (qobject_cast<ClockLabel*>(child)) break;  // the rest lies in front
                auto* picture = qobject_cast<PictureWidget*>(child);
                if (!picture || !picture->geometry().intersects(at)) continue;
                const QRect part = picture->geometry().intersected(at);
                picture->render(&p, part.topLeft() - at.topLeft(), QRegion(part.translated(-picture->pos())));
            }
        });
        label->setGeometry(geometryOf(c));
        // A palette, not a style sheet: the clock repaints twenty times a second.
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, qColor(c.foreColor.value_or(Rgb{})));
        label->setPalette(pal);
        // Presses stop here instead of reaching the banner behind.
        label->installEventFilter(this);
        clock_ = label;
        return label;
    }
    case ControlKind::TextBox: {
        auto* edit = new QLineEdit(QString::fromStdString(c.text), this);
        edit->setGeometry(geometryOf(c));
        edit->setFrame(true);
        edit->setStyleSheet(
            QStringLiteral("QLineEdit { background: %1; color: %2; border: 1px solid #808080; padding: 0 2px; }")
                .arg(css(c.backColor.value_or(Rgb{})), css(c.foreColor.value_or(Rgb{255, 255, 255}))));
        if (c.is("txtFile")) {
            edit->setReadOnly(true);
            edit->installEventFilter(this);
            fileBox_ = edit;
        } else {
            connect(edit, &QLineEdit::textEdited, this,
                    [this, &c](const QString& t) { guard_([&] { model_.setText(c, t.toStdString()); }); });
        }
        return edit;
    }
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(QString::fromStdString(c.text), this);
        box->setGeometry(geometryOf(c));
        // The indicator draws itself on the red box: hollow when clear,
        // filled when ticked.
        box->setStyleSheet(QStringLiteral("QCheckBox { background: %1; color: %2; padding-left: 4px; }"
                                          "QCheckBox::indicator { width: 11px; height: 11px; border: 1px solid white;"
                                          " background: black; }"
                                          "QCheckBox::indicator:checked { background: white; border: 3px solid black;"
                                          " outline: 1px solid white; }"
                                          "QCheckBox:focus { outline: 1px dotted white; }")
                               .arg(css(c.backColor.value_or(Rgb{})), css(c.foreColor.value_or(Rgb{}))));
        box->setChecked(c.value == 1);
        connect(box, &QCheckBox::toggled, this,
                [this, &c](bool on) { guard_([&] { model_.setValue(c, on ? 1 : 0); }); });
        return box;
    }
    case ControlKind::CommandButton: {
        auto* button = new QPushButton(QString::fromStdString(c.text), this);
        button->setGeometry(geometryOf(c));
        button->setStyleSheet(QStringLiteral("QPushButton { background: %1; color: black; border: 1px solid #400000; }"
                                             "QPushButton:pressed { background: #c00000; }"
                                             "QPushButton:focus { border: 1px dotted white; }")
                                  .arg(css(c.backColor.value_or(Rgb{255, 0, 0}))));
        connect(button, &QPushButton::clicked, this, [this] { guard_([this] { handlers_.cmdBrowseClick(); }); });
        return button;
    }
    case ControlKind::Image: {
        auto* picture = new PictureWidget(pictureOf(c), this);
        picture->setGeometry(geometryOf(c));
        if (c.is("Image1")) {
            picture->onMouse = [this](QMouseEvent* e) {
                const int state = buttonState(e->buttons());
                const QPointF at = e->position();
                guard_([&] {
                    if (e->type() == QEvent::MouseButtonPress)
                        handlers_.image1MouseDown(state, 0, static_cast<float>(at.x()), static_cast<float>(at.y()));
                    else if (e->type() == QEvent::MouseMove)
                        handlers_.image1MouseMove(state, 0, static_cast<float>(at.x()), static_cast<float>(at.y()));
                });
            };
        } else if (c.is("Image3")) {
            picture->onMouse = [this](QMouseEvent* e) {
                if (e->type() == QEvent::MouseButtonRelease && e->button() == Qt::LeftButton &&
                    e->position().x() >= 0 && e->position().y() >= 0 && e->position().x() < 105 &&
                    e->position().y() < 96)
                    guard_([this] { handlers_.image3Click(); });
            };
        }
        return picture;
    }
    case ControlKind::Line: {
        // A line of its width in pixels, drawn as a thin filled box.
        const double x1 = *c.x1 / kTwipsPerPixel, y1 = *c.y1 / kTwipsPerPixel;
        const double x2 = *c.x2 / kTwipsPerPixel, y2 = *c.y2 / kTwipsPerPixel;
        const int half = c.lineWidth / 2;
        auto* line = new QWidget(this);
        line->setGeometry(
            QRect(QPoint(static_cast<int>(std::min(x1, x2)) - half, static_cast<int>(std::min(y1, y2))),
                  QPoint(static_cast<int>(std::max(x1, x2)) + half - 1, static_cast<int>(std::max(y1, y2)))));
        line->setAutoFillBackground(true);
        QPalette pal = line->palette();
        pal.setColor(QPalette::Window, qColor(c.foreColor.value_or(Rgb{})));
        line->setPalette(pal);
        line->setAttribute(Qt::WA_TransparentForMouseEvents);
        return line;
    }
    case ControlKind::Shape:
    case ControlKind::Timer:
    case ControlKind::FileDialog:
    case ControlKind::MediaPlayer: break;
    }
    return nullptr;
}

void SnoozardWidget::setUpTabOrder()
{
    std::vector<std::pair<int, QWidget*>> tabbed;
    for (auto [c, w] : widgets_)
        if (c->tabIndex >= 0 && (c->kind == ControlKind::TextBox || c->kind == ControlKind::CheckBox ||
                                 c->kind == ControlKind::CommandButton))
            tabbed.emplace_back(c->tabIndex, w);
    std::sort(tabbed.begin(), tabbed.end());
    for (std::size_t i = 1; i < tabbed.size(); ++i)
        setTabOrder(tabbed[i - 1].second, tabbed[i].second);
    for (auto [c, w] : widgets_)
        if (c->kind == ControlKind::Label || c->kind == ControlKind::Image || c->kind == ControlKind::Line)
            w->setFocusPolicy(Qt::NoFocus);
}

QWidget* SnoozardWidget::widgetOf(const Control& c) const
{
    const auto it = widgets_.find(&c);
    return it == widgets_.end() ? nullptr : it->second;
}

void SnoozardWidget::mirror(Control& c, Property p)
{
    QWidget* w = widgetOf(c);
    if (!w) return;
    switch (p) {
    case Property::Text:
        if (auto* label = qobject_cast<QLabel*>(w)) {
            label->setText(QString::fromStdString(c.text));
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
            const QString text = edit->text();
            const int start = utf16Length(text, c.selStart);
            edit->setSelection(start, utf16Length(text.mid(start), c.selLength));
        }
        break;
    case Property::Geometry:
    case Property::Visible: w->setVisible(c.visible); break;
    }
}

void SnoozardWidget::start()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    // Before the first map, so screenshots keep the mask's see-through parts.
    useDefaultColormap(*this);
    show();
    if (QWidget* text1 = widgetOf(model_.control("Text1"))) {
        activateWindow();
        text1->setFocus(Qt::ActiveWindowFocusReason);
    }
    timer_.start();
}

void SnoozardWidget::applyRegion(const QRegion& region, bool redraw)
{
    setMask(region);
    if (redraw) update();
}

void SnoozardWidget::placeFromModel()
{
    move(static_cast<int>(std::lround(model_.left() / kTwipsPerPixel)),
         static_cast<int>(std::lround(model_.top() / kTwipsPerPixel)));
}

void SnoozardWidget::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    // Keep the model's twips when the move came from them.
    const QPoint modelAt(static_cast<int>(std::lround(model_.left() / kTwipsPerPixel)),
                         static_cast<int>(std::lround(model_.top() / kTwipsPerPixel)));
    if (pos() != modelAt) model_.placedAt(pos().x() * kTwipsPerPixel, pos().y() * kTwipsPerPixel);
}

void SnoozardWidget::closeEvent(QCloseEvent* event)
{
    if (closing_) {
        event->accept();
        return;
    }
    // Closed by the system: the termination path.
    event->ignore();
    guard_([this] { handlers_.terminate(); });
}

bool SnoozardWidget::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == clock_ && (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick))
        return true;  // no drag from the clock
    if (watched == fileBox_ && type == QEvent::MouseButtonRelease) guard_([this] { handlers_.txtFileClick(); });
    return QWidget::eventFilter(watched, event);
}

}  // namespace bellwick
