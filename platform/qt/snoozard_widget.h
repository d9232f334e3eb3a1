#pragma once
// The real main window, built from the window model. It mirrors the model
// to its widgets and turns user input into model changes and handler calls.

#include "app/snoozard.h"
#include "window/window.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <map>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace bellwick {

class SnoozardWidget final : public QWidget {
    Q_OBJECT
public:
    // Runs a handler; a failure that escapes it is the caller's to report.
    using Guard = std::function<void(const std::function<void()>&)>;

    SnoozardWidget(Window& model, Snoozard& handlers, Guard guard);
    ~SnoozardWidget() override;

    // Shows the window centred on its screen, focus in Text1, clock running.
    void start();

    // The widget that shows a control; nullptr for controls without one.
    QWidget* widgetOf(const Control& c) const;

    // Applies the window region (SetWindowRgn).
    void applyRegion(const QRegion& region, bool redraw);

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    QWidget* create(Control& c);
    void mirror(Control& c, Property p);
    void placeFromModel();
    void setUpTabOrder();

    Window& model_;
    Snoozard& handlers_;
    Guard guard_;
    QTimer timer_;
    std::map<const Control*, QWidget*> widgets_;
    QWidget* clock_ = nullptr;    // Label1: takes presses so they start no drag
    QWidget* fileBox_ = nullptr;  // txtFile: a click selects it all
    bool closing_ = false;
};

}  // namespace bellwick
