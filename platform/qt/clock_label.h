#pragma once
// A label that keeps its rendered picture, backdrop included, until its
// text changes: the ticks in the steps after a change repaint the same
// text, each with one blit and no painting of the widgets behind it.

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
    ~ClockLabel() override;

    // Shows text and tells assistive technology when it changed.
    void showText(const QString& text);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    const QPixmap& picture();

    Backdrop backdrop_;
    QPixmap cache_;
    QString cachedText_;
};

}  // namespace bellwick
