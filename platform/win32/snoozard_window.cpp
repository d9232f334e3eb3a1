#include "win32/snoozard_window.h"

#include "text/utf16.h"
#include "view/look.h"
#include "view/view.h"
#include "win32/callback_guard.h"
#include "win32/child_controls.h"
#include "win32/handles.h"
#include "win32/resource_ids.h"
#include "win32/utf16.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace bellwick {

namespace {

constexpr wchar_t kClassName[] = L"BellwickSnoozard";
constexpr int kFirstChildId = 100;
constexpr UINT_PTR kTextBoxSubclass = 1;
// No frame and no caption; the system menu and the minimise box serve the taskbar button.
constexpr DWORD kStyle = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;

RECT rect(const PixelRect& r) { return RECT{r.left, r.top, r.left + r.width, r.top + r.height}; }

std::wstring windowText(HWND hwnd)
{
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

HICON icon(HINSTANCE instance, int metricX, int metricY)
{
    return static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(BELLWICK_ICON), IMAGE_ICON,
                                           ::GetSystemMetrics(metricX), ::GetSystemMetrics(metricY), 0));
}

// Registers the class once; throws with the system's reason when it cannot.
void registerClass(HINSTANCE instance, WNDPROC proc)
{
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = icon(instance, SM_CXICON, SM_CYICON);
    wc.hIconSm = icon(instance, SM_CXSMICON, SM_CYSMICON);
    wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.lpszClassName = kClassName;
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("the main window's class could not be registered: " +
                                 win32::systemMessage(::GetLastError()));
    registered = true;
}

}  // namespace

SnoozardWindow::SnoozardWindow(Window& model, Snoozard& handlers, Guard guard)
    : model_(model), handlers_(handlers), guard_(std::move(guard))
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    registerClass(instance, &SnoozardWindow::windowProc);

    RECT frame = rect(clientRect(model_));
    ::AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    // WM_NCCREATE binds this window to this object (hwnd_).
    if (!::CreateWindowExW(0, kClassName, win32::toUtf16(model_.title).c_str(), kStyle, 0, 0, frame.right - frame.left,
                           frame.bottom - frame.top, nullptr, nullptr, instance, this))
        throw std::runtime_error("the main window could not be created: " + win32::systemMessage(::GetLastError()));
    model_.handle = reinterpret_cast<WindowHandle>(hwnd_);
    // Created at the layout's size; the screen it is on may be denser.
    dpi_ = dpiOf(hwnd_);
    router_.setDpi(dpi_);
    gdi_ = GdiObjects(dpi_);
    if (dpi_ != Dpi()) {
        const PixelRect client = dpi_.scale(clientRect(model_));
        ::SetWindowPos(hwnd_, nullptr, 0, 0, client.width, client.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    surface_.emplace(model_, dpi_);
    build();

    model_.onChange = [this](Control& c, Property p) { mirror(c, p); };
    model_.onRepaint = [this](Control& c) { repaint(c); };
    model_.onClose = [this] {
        closing_ = true;
        ::DestroyWindow(hwnd_);
    };
    model_.onMove = [this] { placeFromModel(); };
    // The window comes to the top without taking the keyboard (in and out
    // of the topmost band: a plain HWND_TOP may stay behind the foreground
    // window), and its taskbar button flashes until it is active.
    model_.onAlert = [this] {
        if (::IsIconic(hwnd_)) ::ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
        constexpr UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
        ::SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, keep);
        ::SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, keep);
        FLASHWINFO flash{sizeof flash, hwnd_, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
        ::FlashWindowEx(&flash);
    };
}

SnoozardWindow::~SnoozardWindow()
{
    model_.onChange = nullptr;
    model_.onRepaint = nullptr;
    model_.onClose = nullptr;
    model_.onMove = nullptr;
    model_.onAlert = nullptr;
    if (hwnd_) {
        closing_ = true;
        ::DestroyWindow(hwnd_);
    }
}

void SnoozardWindow::build()
{
    int id = kFirstChildId;
    for (Control* c : backToFront(model_)) {
        HWND child = createChild(*c, hwnd_, ++id, dpi_);
        if (!child) continue;
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(*c)), FALSE);
        ::ShowWindow(child, c->visible ? SW_SHOWNA : SW_HIDE);
        // Releases in a text box go to the router after the edit's own handling.
        if (c->kind == ControlKind::TextBox)
            ::SetWindowSubclass(child, &SnoozardWindow::textBoxProc, kTextBoxSubclass,
                                reinterpret_cast<DWORD_PTR>(this));
        children_[c] = child;
        accessibility_.bindChild(child, *c);
    }
    // The dialog manager tabs in window order: the children's order is the
    // tab order, the first one starts the group, only they are tab stops.
    HWND after = HWND_TOP;
    bool first = true;
    for (Control* c : tabOrder(model_)) {
        HWND child = childOf(*c);
        if (!child) continue;
        const LONG_PTR style = ::GetWindowLongPtrW(child, GWL_STYLE);
        ::SetWindowLongPtrW(child, GWL_STYLE, style | WS_TABSTOP | (first ? WS_GROUP : 0));
        ::SetWindowPos(child, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = child;
        first = false;
    }
}

HWND SnoozardWindow::childOf(const Control& c) const
{
    const auto it = children_.find(&c);
    return it == children_.end() ? nullptr : it->second;
}

Control* SnoozardWindow::controlOf(HWND child) const
{
    for (const auto& [c, hwnd] : children_)
        if (hwnd == child) return const_cast<Control*>(c);
    return nullptr;
}

void SnoozardWindow::mirror(Control& c, Property p)
{
    HWND child = childOf(c);
    if (!child) {
        if (Surface::paints(c)) {
            const RECT r = rect(surface_->rectOf(c));
            ::InvalidateRect(hwnd_, &r, FALSE);
            if (p == Property::Text) accessibility_.valueChanged(c);
        }
        return;
    }
    switch (p) {
    case Property::Text: {
        const std::wstring text = win32::toUtf16(c.text);
        if (windowText(child) != text) {
            mirroring_ = true;
            ::SetWindowTextW(child, text.c_str());
            mirroring_ = false;
        }
        break;
    }
    case Property::Value: ::SendMessageW(child, BM_SETCHECK, c.value == 1 ? BST_CHECKED : BST_UNCHECKED, 0); break;
    case Property::Selection: {
        const Utf16Range range = utf16Selection(c.text, c.selStart, c.selLength);
        ::SendMessageW(child, EM_SETSEL, static_cast<WPARAM>(range.start),
                       static_cast<LPARAM>(range.start + range.length));
        break;
    }
    case Property::Geometry:
    case Property::Visible: ::ShowWindow(child, c.visible ? SW_SHOWNA : SW_HIDE); break;
    }
}

// Paints the control now, not at the next paint message. What the surface
// paints is drawn straight through the window's own context, then marked
// valid: the way through a paint message costs Wine as many calls to its
// server again, each second.
void SnoozardWindow::repaint(Control& c)
{
    if (HWND child = childOf(c)) {
        ::RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    } else if (Surface::paints(c)) {
        const RECT r = rect(surface_->rectOf(c));
        if (HDC dc = ::GetDC(hwnd_)) {
            compose(dc, r);
            ::ReleaseDC(hwnd_, dc);
            ::ValidateRect(hwnd_, &r);
        }
    }
}

void SnoozardWindow::start()
{
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const PixelRect client = dpi_.scale(clientRect(model_));
    const PixelPoint at = centredIn(PixelRect{work.left, work.top, work.right - work.left, work.bottom - work.top},
                                    client.width, client.height);
    ::SetWindowPos(hwnd_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (Control* first = firstFocus(model_)) focus_ = childOf(*first);
    ::ShowWindow(hwnd_, SW_SHOW);
    ::SetForegroundWindow(hwnd_);
    if (focus_) ::SetFocus(focus_);
    ::UpdateWindow(hwnd_);
}

int SnoozardWindow::run()
{
    MSG msg{};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (keyboard(msg)) continue;
        // Tab, Shift+Tab, Space and Enter as in a dialog.
        if (hwnd_ && ::IsDialogMessageW(hwnd_, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

// Ctrl+A selects a text box's whole text, which the system's edit control
// leaves undone; Enter presses a focused command button, which the dialog
// manager does for default push buttons only.
bool SnoozardWindow::keyboard(const MSG& msg)
{
    if (msg.message != WM_KEYDOWN || !hwnd_ || !::IsChild(hwnd_, msg.hwnd)) return false;
    const Control* c = controlOf(msg.hwnd);
    if (!c) return false;
    if (msg.wParam == 'A' && ::GetKeyState(VK_CONTROL) < 0 && c->kind == ControlKind::TextBox) {
        ::SendMessageW(msg.hwnd, EM_SETSEL, 0, -1);
        return true;
    }
    if (msg.wParam == VK_RETURN && c->kind == ControlKind::CommandButton) {
        ::SendMessageW(msg.hwnd, BM_CLICK, 0, 0);
        return true;
    }
    return false;
}

void SnoozardWindow::placeFromModel()
{
    const PixelPoint at = screenPosition(model_);
    ::SetWindowPos(hwnd_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Lays everything out again for the new DPI: fonts, pictures, children,
// then the window's size at the suggested place and its region.
void SnoozardWindow::rescale(Dpi dpi, const RECT& suggested)
{
    dpi_ = dpi;
    router_.setDpi(dpi_);
    // The children keep the old fonts until they have the new ones.
    const GdiObjects previous = std::exchange(gdi_, GdiObjects(dpi_));
    buffer_.clear();  // it holds an old font
    surface_.emplace(model_, dpi_);
    for (const auto& [c, child] : children_)
        placeChild(child, *c, fontOf(*c), dpi_);
    const PixelRect client = dpi_.scale(clientRect(model_));
    ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, client.width, client.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    if (dpiHook_) dpiHook_(dpi_);
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void SnoozardWindow::paint()
{
    const win32::PaintScope painting(hwnd_);
    if (paintHook_) paintHook_();
    if (painting.dc()) compose(painting.dc(), painting.area());
}

// Composed off screen, so the clock never flickers; straight on the
// screen when GDI cannot give the memory for that.
void SnoozardWindow::compose(HDC target, const RECT& r)
{
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    HDC buffer = buffer_.dc(target, r.right, r.bottom);
    if (!buffer) {
        surface_->paint(target, gdi_);
        return;
    }
    // Not SaveDC and RestoreDC: they would choose the font anew each time.
    ::IntersectClipRect(buffer, r.left, r.top, r.right, r.bottom);
    surface_->paint(buffer, gdi_);
    ::SelectClipRgn(buffer, nullptr);
    ::BitBlt(target, r.left, r.top, w, h, buffer, r.left, r.top, SRCCOPY);
}

void SnoozardWindow::command(HWND child, int code)
{
    Control* c = controlOf(child);
    if (!c) return;
    if (c->kind == ControlKind::TextBox && code == EN_CHANGE && !c->locked && !mirroring_) {
        const std::string text = win32::toUtf8(windowText(child));
        guard_([&] { model_.setText(*c, text); });
    } else if (c->kind == ControlKind::CheckBox && code == BN_CLICKED) {
        const int value = ::SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
        guard_([&] { model_.setValue(*c, value); });
    } else if (c->kind == ControlKind::CommandButton && code == BN_CLICKED) {
        guard_([this] { handlers_.cmdBrowseClick(); });
    }
}

// Mouse input on the painted surface, as the router takes it; the window
// holds the mouse while the router says a control does.
void SnoozardWindow::mouse(UINT msg, WPARAM wp, LPARAM lp)
{
    PointerEvent e;
    switch (msg) {
    case WM_LBUTTONDOWN: e = {PointerAction::Press, 1}; break;
    case WM_RBUTTONDOWN: e = {PointerAction::Press, 2}; break;
    case WM_MBUTTONDOWN: e = {PointerAction::Press, 4}; break;
    case WM_LBUTTONUP: e = {PointerAction::Release, 1}; break;
    case WM_RBUTTONUP: e = {PointerAction::Release, 2}; break;
    case WM_MBUTTONUP: e = {PointerAction::Release, 4}; break;
    default: e = {PointerAction::Move, 0}; break;
    }
    e.buttons = buttonState(wp & MK_LBUTTON, wp & MK_RBUTTON, wp & MK_MBUTTON);
    e.shift = (wp & MK_SHIFT ? 1 : 0) | (wp & MK_CONTROL ? 2 : 0) | (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
    e.x = static_cast<float>(static_cast<short>(LOWORD(lp)));
    e.y = static_cast<float>(static_cast<short>(HIWORD(lp)));
    const bool held = router_.holding();
    guard_([&] { router_.pointer(e); });
    if (router_.holding() && !held)
        ::SetCapture(hwnd_);
    else if (held && !router_.holding())
        ::ReleaseCapture();
}

LRESULT SnoozardWindow::handle(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_ERASEBKGND: return 1;  // the paint covers everything
    case WM_PAINT: paint(); return 0;
    // The clock or its zone was set, the locale changed, the system resumed:
    // the clock's text and the alarm's moment may differ now.
    case WM_TIMECHANGE: guard_([&] { handlers_.changed(); }); return 0;
    case WM_SETTINGCHANGE:
        if (lp && std::wstring_view(reinterpret_cast<const wchar_t*>(lp)) == L"intl")
            guard_([&] { handlers_.changed(); });
        break;
    case WM_POWERBROADCAST:
        if (wp == PBT_APMRESUMEAUTOMATIC) guard_([&] { handlers_.changed(); });
        return TRUE;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (const Control* c = controlOf(reinterpret_cast<HWND>(lp))) {
            HDC dc = reinterpret_cast<HDC>(wp);
            const COLORREF back = colourOf(look::back(*c));
            ::SetTextColor(dc, colourOf(look::fore(*c)));
            ::SetBkColor(dc, back);
            return reinterpret_cast<LRESULT>(gdi_.brush(back));
        }
        break;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (const Control* c = controlOf(item.hwndItem)) drawButton(item, *c, fontOf(*c), gdi_, dpi_);
        return TRUE;
    }
    case WM_DPICHANGED: rescale(Dpi(LOWORD(wp)), *reinterpret_cast<const RECT*>(lp)); return 0;
    case WM_COMMAND:
        if (lp) command(reinterpret_cast<HWND>(lp), HIWORD(wp));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE: mouse(msg, wp, lp); return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lp) != hwnd_) router_.pointerLost();
        return 0;
    case WM_MOVE: {
        RECT r;
        if (::GetWindowRect(hwnd_, &r)) movedOnScreen(model_, r.left, r.top);
        return 0;
    }
    case WM_ACTIVATE:
        // The focus goes back to the child that had it, not to the window.
        if (LOWORD(wp) == WA_INACTIVE) {
            if (HWND focused = ::GetFocus(); focused && ::IsChild(hwnd_, focused)) focus_ = focused;
        } else if (focus_) {
            ::SetFocus(focus_);
        }
        return 0;
    case WM_GETOBJECT:
        if (const LRESULT object = accessibility_.getObject(hwnd_, wp, lp)) return object;
        break;
    case WM_CLOSE:
        // Closed by the user (Alt+F4, the taskbar's Close) or another
        // program: the termination path, as the window manager's close is
        // on Linux.
        if (!closing_) guard_([this] { router_.closedBySystem(); });
        return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
        if (wp && !closing_) guard_([this] { router_.closedBySystem(); });
        return 0;
    case WM_DESTROY:
        hwnd_ = nullptr;
        ::PostQuitMessage(0);
        return 0;
    default: break;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

// Nothing thrown may unwind through the system's frames: every callback
// hands it to the fatal report.
LRESULT CALLBACK SnoozardWindow::windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    return win32::guarded([&]() -> LRESULT {
        if (msg == WM_NCCREATE) {
            auto* self = static_cast<SnoozardWindow*>(reinterpret_cast<const CREATESTRUCTW*>(lp)->lpCreateParams);
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->hwnd_ = hwnd;
        }
        auto* self = reinterpret_cast<SnoozardWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self || !self->hwnd_) return ::DefWindowProcW(hwnd, msg, wp, lp);
        return self->handle(msg, wp, lp);
    });
}

LRESULT CALLBACK SnoozardWindow::textBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    return win32::guarded([&] {
        auto* self = reinterpret_cast<SnoozardWindow*>(data);
        if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(hwnd, &SnoozardWindow::textBoxProc, kTextBoxSubclass);
        const LRESULT result = ::DefSubclassProc(hwnd, msg, wp, lp);
        const int button = msg == WM_LBUTTONUP ? 1 : msg == WM_RBUTTONUP ? 2 : msg == WM_MBUTTONUP ? 4 : 0;
        if (const Control* c = button ? self->controlOf(hwnd) : nullptr)
            self->guard_([&] { self->router_.released(*c, button); });
        return result;
    });
}

}  // namespace bellwick
