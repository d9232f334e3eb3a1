#pragma once
// The text cursor blinks as the desktop says, and, as GTK and GNOME do,
// stands still after 10 s without input, so an idle window stops waking
// to blink. Any key, click or focus change starts it blinking again.

#include <QObject>
#include <QTimer>

namespace bellwick {

class CursorBlink final : public QObject {
public:
    CursorBlink();
    ~CursorBlink() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void wake();

    int flashMs_;  // the desktop's: on and off once in this time
    QTimer idle_;
};

}  // namespace bellwick
