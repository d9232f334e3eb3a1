#include "qt/clock_label.h"

#include <QPainter>
#include <QStyle>

namespace bellwick {

ClockLabel::ClockLabel(const QString& text, QWidget* parent, Backdrop backdrop)
    : QLabel(text, parent), backdrop_(std::move(backdrop))
{
    setAttribute(Qt::WA_OpaquePaintEvent);  // the cache covers every pixel
}

ClockLabel::~ClockLabel() = default;

const QPixmap& ClockLabel::picture()
{
    if (cache_.size() != size() || cachedText_ != text()) {
        cache_ = QPixmap(size());
        cache_.fill(Qt::black);
        QPainter p(&cache_);
        if (backdrop_) backdrop_(p, geometry());
        p.setFont(font());
        style()->drawItemText(&p, contentsRect(), QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                              isEnabled(), text(), foregroundRole());
        cachedText_ = text();
    }
    return cache_;
}

void ClockLabel::paintEvent(QPaintEvent*) { QPainter(this).drawPixmap(0, 0, picture()); }

}  // namespace bellwick
