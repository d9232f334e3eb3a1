#pragma once
// Binds user input to the model and the handlers: the controls' signals
// become model changes; the mouse on the painted controls, releases in the
// child controls and the window's close go to the core's InputRouter,
// which decides what they do.

#include "handlers/input_router.h"
#include "handlers/snoozard.h"
#include "window/window.h"

#include <QObject>

#include <functional>
#include <map>
#include <set>

class QWidget;

namespace bellwick {

// Runs a handler; a failure that escapes it is the guard's to report.
using HandlerGuard = std::function<void(const std::function<void()>&)>;

class InputBinding final : public QObject {
    Q_OBJECT
public:
    // Watches window for its close and moves.
    InputBinding(Window& model, Snoozard& handlers, HandlerGuard guard, QWidget& window);

    // Binds the input of the widget that shows c.
    void bind(Control& c, QWidget& w);

    // Closes the window for the program, without the termination path a
    // close by the system takes.
    void closeByProgram();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool pointer(QWidget& w, QEvent* event);

    Window& model_;
    Snoozard& handlers_;
    HandlerGuard guard_;
    QWidget& window_;
    InputRouter router_;
    std::set<const QObject*> pointed_;                   // painted: the router's pointer input
    std::map<const QObject*, const Control*> children_;  // child controls: their releases
    bool closing_ = false;
};

}  // namespace bellwick
