#include "qt/clock_label.h"

#include <QAccessible>
#include <QBackingStore>
#include <QEvent>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QWindow>

namespace bellwick {

namespace {

constexpr Qt::Alignment kAlignment = Qt::AlignLeft | Qt::AlignVCenter;

// Characters every font lays out one after the other by their advances:
// nothing to shape, join or reorder.
bool plain(char16_t c)
{
    return (c >= u'0' && c <= u'9') || c == u':' || c == u'.' || c == u' ' || c == u',' || c == u'-' || c == u'/';
}

}  // namespace

ClockLabel::ClockLabel(const QString& text, QWidget* parent, Backdrop backdrop)
    : QWidget(parent), paintBackdrop_(std::move(backdrop)), text_(text)
{
    setAttribute(Qt::WA_OpaquePaintEvent);  // the backdrop covers every pixel
}

ClockLabel::~ClockLabel() = default;

void ClockLabel::showText(const QString& shown)
{
    if (shown == text_) return;
    const QString before = std::exchange(text_, shown);
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent event(this, 0, before, shown);
        QAccessible::updateAccessibility(&event);
    }
}

const QPixmap& ClockLabel::backdrop()
{
    if (backdrop_.size() != size()) {
        // What lies behind does not change: drawn once, not every second.
        backdrop_ = QPixmap(size());
        backdrop_.fill(Qt::black);
        QPainter p(&backdrop_);
        if (paintBackdrop_) paintBackdrop_(p, geometry());
    }
    return backdrop_;
}

bool ClockLabel::glyphRun(QVector<quint32>& glyphs, QVector<QPointF>& places)
{
    if (!rawFont_.isValid()) {
        rawFont_ = QRawFont::fromFont(font());
        if (!rawFont_.isValid()) return false;
        // Where Qt's own drawing puts the line of a centred text.
        const QFontMetricsF metrics(font());
        baseline_ = (height() - metrics.height()) / 2 + metrics.ascent();
        glyphs_.clear();
    }
    qreal x = contentsRect().left();
    for (const QChar c : text_) {
        const char16_t u = c.unicode();
        if (!plain(u)) return false;
        auto found = glyphs_.constFind(u);
        if (found == glyphs_.cend()) {
            const QVector<quint32> index = rawFont_.glyphIndexesForString(QString(c));
            if (index.size() != 1 || index[0] == 0) return false;
            const QVector<QPointF> advance = rawFont_.advancesForGlyphIndexes(index);
            found = glyphs_.insert(u, {index[0], advance[0].x()});
        }
        glyphs.append(found->first);
        places.append({x, baseline_});
        x += found->second;
    }
    return true;
}

void ClockLabel::draw(QPainter& p)
{
    QVector<quint32> glyphs;
    QVector<QPointF> places;
    if (!glyphRun(glyphs, places)) {
        drawShaped(p);
        return;
    }
    p.drawPixmap(0, 0, backdrop());
    QGlyphRun run;
    run.setRawFont(rawFont_);
    run.setGlyphIndexes(glyphs);
    run.setPositions(places);
    p.setPen(palette().color(foregroundRole()));
    p.drawGlyphRun(QPointF(), run);
}

void ClockLabel::drawShaped(QPainter& p)
{
    p.drawPixmap(0, 0, backdrop());
    p.setFont(font());
    p.setPen(palette().color(foregroundRole()));
    p.drawText(contentsRect(), static_cast<int>(kAlignment), text_);
}

void ClockLabel::paintNow()
{
    QWidget* top = window();
    QBackingStore* store = top->backingStore();
    QWindow* handle = top->windowHandle();
    // Only what nothing else covers may be drawn over.
    if (!painted_ || !store || !handle || !isVisible() || visibleRegion() != QRegion(rect())) {
        repaint();
        return;
    }
    const QRect area(mapTo(top, QPoint()), size());
    store->beginPaint(area);
    {
        QPainter p(store->paintDevice());
        p.translate(area.topLeft());
        draw(p);
    }
    store->endPaint();
    store->flush(area, handle);
}

void ClockLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    draw(p);
    painted_ = true;
}

void ClockLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) rawFont_ = QRawFont();
    QWidget::changeEvent(event);
}

void ClockLabel::resizeEvent(QResizeEvent* event)
{
    rawFont_ = QRawFont();  // the line's place follows the height
    QWidget::resizeEvent(event);
}

}  // namespace bellwick
