#pragma once
// The real main window, built from the window model: a frameless window
// with one widget per visible control, kept in step with the model by a
// ModelMirror, its input bound to the handlers by an InputBinding.

#include "handlers/snoozard.h"
#include "qt/input_binding.h"
#include "qt/model_mirror.h"
#include "window/window.h"

#include <QWidget>

#include <map>
#include <memory>

namespace bellwick {

class SnoozardWidget final : public QWidget {
    Q_OBJECT
public:
    using Guard = HandlerGuard;

    SnoozardWidget(Window& model, Snoozard& handlers, Guard guard);
    ~SnoozardWidget() override;

    // Shows the window centred on its screen, focus in the first control of
    // the tab order.
    void start();

    // The widget that shows a control; nullptr for controls without one.
    QWidget* widgetOf(const Control& c) const;

    // Applies the window region (SetWindowRgn).
    void applyRegion(const QRegion& region, bool redraw);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void build();

    Window& model_;
    Snoozard& handlers_;
    Guard guard_;
    std::map<const Control*, QWidget*> widgets_;
    InputBinding* input_ = nullptr;  // a child QObject
    std::unique_ptr<ModelMirror> mirror_;
    bool translucent_ = false;
};

}  // namespace bellwick
