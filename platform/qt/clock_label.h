#pragma once
// A label that keeps its rendered picture, backdrop included, until its
// text changes. The clock repaints at every tick, a few of them within one
// second after a change: each repaint that keeps the text is then one blit, with no text layout and no
// painting of the widgets behind it. On X11 that blit is done by the
// server from its own copy of the picture.

#include "qt/x11_blit.h"

#include <QLabel>
#include <QPixmap>

#include <functional>
#include <memory>

namespace bellwick {

class ClockLabel final : public QLabel {
    Q_OBJECT
public:
    // backdrop paints what lies behind the label, given the label's
    // geometry in its parent's coordinates.
    using Backdrop = std::function<void(QPainter&, const QRect&)>;
    ClockLabel(const QString& text, QWidget* parent, Backdrop backdrop);
    ~ClockLabel() override;

    // Shows the current text at once, as QWidget::repaint.
    void repaintNow();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    const QPixmap& picture();

    Backdrop backdrop_;
    QPixmap cache_;
    QString cachedText_;
    std::unique_ptr<X11Blit> blit_;
    bool blitTried_ = false;
    qint64 uploaded_ = 0;  // cacheKey of the picture the server holds
};

}  // namespace bellwick
