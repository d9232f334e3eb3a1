#pragma once
// A label that keeps what lies behind it as a picture, drawn once, and its
// rendered text until the text changes: a new second paints the text over
// a copy of the backdrop, and the ticks in the steps after a change repaint
// the same picture with one blit.

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
    QPixmap backdropCache_, cache_;
    QString cachedText_;
};

}  // namespace bellwick
