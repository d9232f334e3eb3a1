#pragma once
// The clock: a text over a picture of what lies behind it, drawn once.
//
// Each second it is drawn straight into the window's backing store and sent
// to the screen, without a trip through the widget repaint machinery; a
// text of digits and punctuation (every clock in 24-hour form) is drawn as
// a run of glyphs looked up once, not shaped anew. What the fast path
// cannot promise (a widget in front, letters, a window not yet painted)
// goes through an ordinary repaint.

#include <QHash>
#include <QPixmap>
#include <QRawFont>
#include <QWidget>

#include <functional>
#include <utility>

namespace bellwick {

class ClockLabel final : public QWidget {
    Q_OBJECT
public:
    // backdrop paints what lies behind the label, given the label's
    // geometry in its parent's coordinates.
    using Backdrop = std::function<void(QPainter&, const QRect&)>;
    ClockLabel(const QString& text, QWidget* parent, Backdrop backdrop);
    ~ClockLabel() override;

    const QString& text() const { return text_; }
    // Shows text at the next paint and tells assistive technology when it changed.
    void showText(const QString& text);
    // Draws the text on the screen now.
    void paintNow();
    // Draws backdrop and text as Qt's own text drawing would, for tests.
    void drawShaped(QPainter& p);
    void draw(QPainter& p);

protected:
    void paintEvent(QPaintEvent*) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const QPixmap& backdrop();
    // Glyphs and their places for text_, or false where it needs shaping.
    bool glyphRun(QVector<quint32>& glyphs, QVector<QPointF>& places);

    Backdrop paintBackdrop_;
    QPixmap backdrop_;
    QString text_;
    bool painted_ = false;  // the window has been painted, so its backing store is there
    QRawFont rawFont_;
    qreal baseline_ = 0;
    QHash<char16_t, std::pair<quint32, qreal>> glyphs_;  // per character: glyph and advance
};

}  // namespace bellwick
