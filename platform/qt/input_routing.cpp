#include "qt/input_routing.h"

#include "qt/picture_widget.h"
#include "view/view.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include <cmath>

namespace bellwick {

namespace {

int buttonStateOf(Qt::MouseButtons b)
{
    return buttonState(b & Qt::LeftButton, b & Qt::RightButton, b & Qt::MiddleButton);
}

}  // namespace

InputRouter::InputRouter(Window& model, Snoozard& handlers, HandlerGuard guard, QWidget& window)
    : QObject(&window), model_(model), handlers_(handlers), guard_(std::move(guard)), window_(window)
{
    window_.installEventFilter(this);
}

void InputRouter::route(Control& c, QWidget& w)
{
    switch (c.kind) {
    case ControlKind::Label:
        // Presses stop here instead of reaching the banner behind.
        w.installEventFilter(this);
        clock_ = &w;
        break;
    case ControlKind::TextBox:
        if (auto* edit = qobject_cast<QLineEdit*>(&w); edit && !c.locked)
            connect(edit, &QLineEdit::textEdited, this,
                    [this, &c](const QString& t) { guard_([&] { model_.setText(c, t.toStdString()); }); });
        if (c.is("txtFile")) {
            w.installEventFilter(this);
            fileBox_ = &w;
        }
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
    case ControlKind::Image: routePicture(c, w); break;
    case ControlKind::Line:
    case ControlKind::Shape:
    case ControlKind::Timer:
    case ControlKind::FileDialog:
    case ControlKind::MediaPlayer: break;
    }
}

void InputRouter::routePicture(Control& c, QWidget& w)
{
    auto* picture = qobject_cast<PictureWidget*>(&w);
    if (!picture) return;
    if (c.is("Image1")) {
        picture->onMouse = [this](QMouseEvent* e) {
            const int state = buttonStateOf(e->buttons());
            const auto x = static_cast<float>(e->position().x()), y = static_cast<float>(e->position().y());
            guard_([&] {
                if (e->type() == QEvent::MouseButtonPress)
                    handlers_.image1MouseDown(state, 0, x, y);
                else if (e->type() == QEvent::MouseMove)
                    handlers_.image1MouseMove(state, 0, x, y);
            });
        };
    } else if (c.is("Image3")) {
        picture->onPress = [this] { guard_([this] { handlers_.image3Click(); }); };
        picture->onMouse = [this, picture](QMouseEvent* e) {
            // Released over the badge: the press grabbed the mouse, so the
            // release may lie anywhere.
            const QPointF at = picture->mapTo(&window_, e->position());
            if (e->type() == QEvent::MouseButtonRelease && e->button() == Qt::LeftButton &&
                hitsBadge(model_, static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y()))))
                picture->onPress();
        };
    }
}

void InputRouter::closeByProgram()
{
    closing_ = true;
    window_.close();
}

bool InputRouter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == &window_) {
        if (type == QEvent::Move) {
            movedOnScreen(model_, window_.x(), window_.y());
        } else if (type == QEvent::Close && !closing_) {
            // Closed by the system: the termination path.
            event->ignore();
            guard_([this] { handlers_.terminate(); });
            return true;
        }
    } else if (watched == clock_ && (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)) {
        return true;  // no drag from the clock
    } else if (watched == fileBox_ && type == QEvent::MouseButtonRelease) {
        guard_([this] { handlers_.txtFileClick(); });
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace bellwick
