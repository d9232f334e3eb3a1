#pragma once
// A picture control: draws its picture stretched into its box.

#include "window/accessible.h"

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
    // A click, by the mouse or an assistive tool's press action, when set.
    std::function<void()> onPress;

    // What the picture is to assistive technology.
    AccessibleRole role() const { return role_; }
    void setRole(AccessibleRole role) { role_ = role; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QPixmap picture_;
    AccessibleRole role_ = AccessibleRole::Decoration;
};

}  // namespace bellwick
