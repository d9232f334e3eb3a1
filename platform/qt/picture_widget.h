#pragma once
// A picture control: draws its picture stretched into its box.

#include <QPixmap>
#include <QWidget>

#include <functional>

class QMouseEvent;

namespace bellwick {

class PictureWidget final : public QWidget {
    Q_OBJECT
public:
    PictureWidget(const QString& resource, QWidget* parent);

    // Press, move and release events, when set.
    std::function<void(QMouseEvent*)> onMouse;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QPixmap picture_;
};

}  // namespace bellwick
