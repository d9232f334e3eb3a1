#pragma once
// A picture control: draws its picture stretched into its box.

#include "window/accessible.h"

#include <QPixmap>
#include <QWidget>

#include <functional>

namespace bellwick {

class PictureWidget final : public QWidget {
    Q_OBJECT
public:
    PictureWidget(const QString& resource, QWidget* parent);

    // An assistive tool's press action, when set.
    std::function<void()> onPress;

    // What the picture is to assistive technology.
    AccessibleRole role() const { return role_; }
    void setRole(AccessibleRole role) { role_ = role; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QPixmap picture_;
    AccessibleRole role_ = AccessibleRole::Decoration;
};

}  // namespace bellwick
