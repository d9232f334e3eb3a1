#include "qt/snoozard_widget.h"

#include "qt/accessible_widgets.h"
#include "qt/qt_platform_choice.h"
#include "qt/widget_factory.h"
#include "qt/window_icon.h"
#include "qt/x11_colormap.h"
#include "qt/x11_urgency.h"
#include "view/view.h"

#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace bellwick {

SnoozardWidget::SnoozardWidget(Window& model, Snoozard& handlers, Guard guard)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      model_(model),
      handlers_(handlers),
      guard_(std::move(guard))
{
    // Before anything asks Qt for an interface, which Qt then keeps.
    installAccessibleWidgets();
    setObjectName(QStringLiteral("Snoozard"));
    setWindowTitle(QString::fromStdString(model_.title));
    setAccessibleName(
        QString::fromUtf8(kWindowAccessibleName.data(), static_cast<qsizetype>(kWindowAccessibleName.size())));
    const PixelRect client = clientRect(model_);
    setFixedSize(client.width, client.height);
    // Where the compositor cuts no shapes, the window is see-through outside
    // its region and paints its background inside it (paintEvent).
    translucent_ = compositorPlacesWindows();
    setAttribute(Qt::WA_TranslucentBackground, translucent_);
    setAutoFillBackground(!translucent_);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, qtColor(model_.backColor));
    setPalette(pal);
    if (model_.defaultFont) setFont(qtFont(*model_.defaultFont));
    QFile icon(QStringLiteral(":/bellwick.ico"));
    if (icon.open(QIODevice::ReadOnly)) setWindowIcon(QIcon(QPixmap::fromImage(iconFromIco(icon.readAll()))));
    model_.handle = reinterpret_cast<WindowHandle>(this);

    input_ = new InputBinding(model_, handlers_, guard_, *this);
    build();
    mirror_ = std::make_unique<ModelMirror>(model_, *this, [this](const Control& c) { return widgetOf(c); });
    model_.onClose = [this] { input_->closeByProgram(); };
    // Raised, and marked urgent until the user turns to the window. Not
    // QApplication::alert, which does nothing for the active window.
    model_.onAlert = [this] {
        raise();
        if (QWindow* w = windowHandle()) w->alert(0);
        setUrgency(*this, true);
    };
}

SnoozardWidget::~SnoozardWidget()
{
    model_.onClose = nullptr;
    model_.onAlert = nullptr;
}

void SnoozardWidget::build()
{
    // Back to front, so that later widgets lie on top.
    for (Control* c : backToFront(model_))
        if (QWidget* w = makeWidget(*c, *this)) {
            widgets_[c] = w;
            input_->bind(*c, *w);
        }
    QWidget* previous = nullptr;
    for (Control* c : tabOrder(model_)) {
        QWidget* w = widgetOf(*c);
        if (previous && w) setTabOrder(previous, w);
        if (w) previous = w;
    }
}

QWidget* SnoozardWidget::widgetOf(const Control& c) const
{
    const auto it = widgets_.find(&c);
    return it == widgets_.end() ? nullptr : it->second;
}

void SnoozardWidget::start()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const PixelPoint at = centredIn({area.x(), area.y(), area.width(), area.height()}, model_);
        move(at.x, at.y);
    }
    // Before the first map, so screenshots keep the mask's see-through parts.
    useDefaultColormap(*this);
    show();
    if (Control* first = firstFocus(model_))
        if (QWidget* w = widgetOf(*first)) {
            activateWindow();
            w->setFocus(Qt::ActiveWindowFocusReason);
        }
}

void SnoozardWidget::applyRegion(const QRegion& region, bool redraw)
{
    setMask(region);
    if (redraw) update();
}

void SnoozardWidget::paintEvent(QPaintEvent*)
{
    if (!translucent_) return;
    QPainter p(this);
    p.setClipRegion(mask().isEmpty() ? QRegion(rect()) : mask());
    p.fillRect(rect(), palette().color(QPalette::Window));
}

void SnoozardWidget::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) setUrgency(*this, false);
}

}  // namespace bellwick
