#include "qt/clock_label.h"

#include <QAccessible>
#include <QPainter>
#include <QStyle>

namespace bellwick {

ClockLabel::ClockLabel(const QString& text, QWidget* parent, Backdrop backdrop)
    : QLabel(text, parent), backdrop_(std::move(backdrop))
{
    setAttribute(Qt::WA_OpaquePaintEvent);  // the cache covers every pixel
}

ClockLabel::~ClockLabel() = default;

void ClockLabel::showText(const QString& shown)
{
    const QString before = text();
    if (shown == before) return;
    setText(shown);
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent event(this, 0, before, shown);
        QAccessible::updateAccessibility(&event);
    }
}

const QPixmap& ClockLabel::picture()
{
    if (backdropCache_.size() != size()) {
        // What lies behind does not change: drawn once, not every second.
        backdropCache_ = QPixmap(size());
        backdropCache_.fill(Qt::black);
        QPainter p(&backdropCache_);
        if (backdrop_) backdrop_(p, geometry());
        cachedText_.clear();
        cache_ = QPixmap();
    }
    if (cache_.isNull() || cachedText_ != text()) {
        cache_ = backdropCache_.copy();
        QPainter p(&cache_);
        p.setFont(font());
        style()->drawItemText(&p, contentsRect(), QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                              isEnabled(), text(), foregroundRole());
        cachedText_ = text();
    }
    return cache_;
}

void ClockLabel::paintEvent(QPaintEvent*) { QPainter(this).drawPixmap(0, 0, picture()); }

}  // namespace bellwick
