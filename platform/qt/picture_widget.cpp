#include "qt/picture_widget.h"

#include "qt/widget_factory.h"
#include "view/look.h"

#include <QPainter>

namespace bellwick {

PictureWidget::PictureWidget(const QString& resource, QWidget* parent) : QWidget(parent), picture_(resource)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PictureWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (picture_.isNull()) {
        p.fillRect(rect(), qtColor(look::kMissingPicture));  // no picture: a plain box of its size
        return;
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(rect(), picture_);
}

}  // namespace bellwick
