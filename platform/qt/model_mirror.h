#pragma once
// Keeps the window showing what the model holds: the model's change,
// repaint and move hooks land here while the mirror lives.

#include "window/window.h"

#include <functional>

class QWidget;

namespace bellwick {

class ModelMirror {
public:
    // The widget that shows a control; nullptr for controls without one.
    using WidgetOf = std::function<QWidget*(const Control&)>;

    ModelMirror(Window& model, QWidget& window, WidgetOf widgetOf);
    ~ModelMirror();
    ModelMirror(const ModelMirror&) = delete;
    ModelMirror& operator=(const ModelMirror&) = delete;

private:
    void changed(const Control& c, Property p);

    Window& model_;
    QWidget& window_;
    WidgetOf widgetOf_;
};

}  // namespace bellwick
