#include "qt/cursor_blink.h"

#include <QApplication>
#include <QEvent>

namespace bellwick {

namespace {

constexpr int kBlinkTimeoutMs = 10'000;

}  // namespace

CursorBlink::CursorBlink() : flashMs_(QApplication::cursorFlashTime())
{
    idle_.setSingleShot(true);
    idle_.setTimerType(Qt::VeryCoarseTimer);
    idle_.setInterval(kBlinkTimeoutMs);
    QObject::connect(&idle_, &QTimer::timeout, [] { QApplication::setCursorFlashTime(0); });
    qApp->installEventFilter(this);
    idle_.start();
}

CursorBlink::~CursorBlink()
{
    if (qApp) qApp->removeEventFilter(this);
}

bool CursorBlink::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::FocusIn:
    case QEvent::InputMethod: wake(); break;
    default: break;
    }
    return false;
}

void CursorBlink::wake()
{
    if (QApplication::cursorFlashTime() != flashMs_) QApplication::setCursorFlashTime(flashMs_);
    idle_.start();
}

}  // namespace bellwick
