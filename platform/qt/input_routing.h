#pragma once
// Turns user input into model changes and handler calls: the controls'
// signals, the mouse on the pictures, presses on the clock, clicks into the
// file box, and the window's close and moves.

#include "handlers/snoozard.h"
#include "window/window.h"

#include <QObject>

#include <functional>

class QWidget;

namespace bellwick {

// Runs a handler; a failure that escapes it is the guard's to report.
using HandlerGuard = std::function<void(const std::function<void()>&)>;

class InputRouter final : public QObject {
    Q_OBJECT
public:
    // Watches window for its close and moves.
    InputRouter(Window& model, Snoozard& handlers, HandlerGuard guard, QWidget& window);

    // Routes the input of the widget that shows c.
    void route(Control& c, QWidget& w);

    // Closes the window for the program, without the termination path a
    // close by the system takes.
    void closeByProgram();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void routePicture(Control& c, QWidget& w);

    Window& model_;
    Snoozard& handlers_;
    HandlerGuard guard_;
    QWidget& window_;
    QWidget* clock_ = nullptr;    // Label1: takes presses so they start no drag
    QWidget* fileBox_ = nullptr;  // txtFile: a click selects it all
    bool closing_ = false;
};

}  // namespace bellwick
