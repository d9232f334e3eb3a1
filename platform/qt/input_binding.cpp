#include "qt/input_binding.h"

#include "qt/picture_widget.h"
#include "qt/qt_platform_choice.h"
#include "view/view.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPushButton>
#include <QWindow>

namespace bellwick {

// Off unless asked for (QT_LOGGING_RULES): when the compositor took a drag.
Q_LOGGING_CATEGORY(bellwickWindow, "bellwick.window", QtWarningMsg)

namespace {

int buttonStateOf(Qt::MouseButtons b)
{
    return buttonState(b & Qt::LeftButton, b & Qt::RightButton, b & Qt::MiddleButton);
}

int shiftStateOf(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

}  // namespace

InputBinding::InputBinding(Window& model, Snoozard& handlers, HandlerGuard guard, QWidget& window)
    : QObject(&window),
      model_(model),
      handlers_(handlers),
      guard_(std::move(guard)),
      window_(window),
      router_(model, handlers)
{
    window_.installEventFilter(this);
}

void InputBinding::bind(Control& c, QWidget& w)
{
    if (takesPointer(c)) {
        w.installEventFilter(this);
        pointed_.insert(&w);
    }
    switch (c.kind) {
    case ControlKind::TextBox:
        if (auto* edit = qobject_cast<QLineEdit*>(&w); edit && !c.locked)
            connect(edit, &QLineEdit::textEdited, this,
                    [this, &c](const QString& t) { guard_([&] { model_.setText(c, t.toStdString()); }); });
        w.installEventFilter(this);
        children_[&w] = &c;
        break;
    case ControlKind::CheckBox:
        if (auto* box = qobject_cast<QCheckBox*>(&w))
            connect(box, &QCheckBox::toggled, this,
                    [this, &c](bool on) { guard_([&] { model_.setValue(c, on ? 1 : 0); }); });
        break;
    case ControlKind::CommandButton:
        if (auto* button = qobject_cast<QPushButton*>(&w))
            connect(button, &QPushButton::clicked, this, [this] { guard_([this] { handlers_.cmdBrowseClick(); }); });
        break;
    case ControlKind::Image:
        // An assistive tool's press on a picture that is a button.
        if (auto* picture = qobject_cast<PictureWidget*>(&w); picture && picture->role() == AccessibleRole::PushButton)
            picture->onPress = [this, &c] { guard_([&] { router_.activated(c); }); };
        break;
    case ControlKind::Label:
    case ControlKind::Line:
    case ControlKind::Shape:
    case ControlKind::Timer:
    case ControlKind::FileDialog:
    case ControlKind::MediaPlayer: break;
    }
}

void InputBinding::closeByProgram()
{
    closing_ = true;
    window_.close();
}

// Qt hands each event to the widget under the pointer, or to the one that
// took the press; the router decides again from the window's own pixel.
bool InputBinding::pointer(QWidget& w, QEvent* event)
{
    PointerEvent p;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: p.action = PointerAction::Press; break;
    case QEvent::MouseMove: p.action = PointerAction::Move; break;
    case QEvent::MouseButtonRelease: p.action = PointerAction::Release; break;
    default: return false;
    }
    const auto* e = static_cast<QMouseEvent*>(event);
    const QPointF at = w.mapTo(&window_, e->position());
    p.button = buttonStateOf(e->button());
    p.buttons = buttonStateOf(e->buttons());
    p.shift = shiftStateOf(e->modifiers());
    p.x = static_cast<float>(at.x());
    p.y = static_cast<float>(at.y());
    guard_([&] { router_.pointer(p); });
    // The compositor moves the window, and keeps the pointer until the
    // button is up: no move or release comes here meanwhile.
    if (p.action == PointerAction::Press && router_.dragging() && compositorPlacesWindows())
        if (QWindow* handle = window_.windowHandle(); handle && handle->startSystemMove()) {
            router_.pointerLost();
            qCInfo(bellwickWindow) << "the compositor moves the window";
        }
    return true;
}

bool InputBinding::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == &window_) {
        if (type == QEvent::Move) {
            movedOnScreen(model_, window_.x(), window_.y());
        } else if (type == QEvent::Close && !closing_) {
            // Closed by the system: the router's to decide.
            event->ignore();
            guard_([this] { router_.closedBySystem(); });
            return true;
        }
    } else if (pointed_.count(watched)) {
        return pointer(*static_cast<QWidget*>(watched), event);
    } else if (const auto it = children_.find(watched); it != children_.end() && type == QEvent::MouseButtonRelease) {
        const int button = buttonStateOf(static_cast<QMouseEvent*>(event)->button());
        guard_([&] { router_.released(*it->second, button); });
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace bellwick
