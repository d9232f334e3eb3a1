#pragma once
// A label that keeps its rendered picture, backdrop included, until its
// text changes. The clock repaints twenty times a second and its text
// changes once: each repaint is then one blit, with no text layout and no
// painting of the widgets behind it.

#include <QLabel>
#include <QPixmap>

#include <functional>

namespace bellwick {

class ClockLabel final : public QLabel {
    Q_OBJECT
public:
    // backdrop paints what lies behind the label, given the label's
    // geometry in its parent's coordinates.
    using Backdrop = std::function<void(QPainter&, const QRect&)>;
    ClockLabel(const QString& text, QWidget* parent, Backdrop backdrop);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Backdrop backdrop_;
    QPixmap cache_;
    QString cachedText_;
};

}  // namespace bellwick
