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

void ClockLabel::repaintNow()
{
    if (!blitTried_ && isVisible()) {
        blitTried_ = true;
        blit_ = X11Blit::create(*window());
    }
    if (!blit_ || !isVisible()) {
        repaint();
        return;
    }
    // A new text also reaches Qt's own copy of the window through the
    // update() its setText asked for; this shows it without waiting.
    const QPixmap& shown = picture();
    if (shown.cacheKey() != uploaded_) {
        blit_->upload(shown.toImage());
        uploaded_ = shown.cacheKey();
    }
    blit_->copyTo(mapTo(window(), QPoint(0, 0)));
}

}  // namespace bellwick
