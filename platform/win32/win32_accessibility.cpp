#include "win32/win32_accessibility.h"

#include "view/view.h"
#include "win32/callback_guard.h"
#include "win32/com_ptr.h"
#include "win32/surface.h"
#include "win32/utf16.h"
#include "window/accessible.h"

#include <ole2.h>
#include <oleacc.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <string_view>
#include <utility>
#include <vector>

namespace bellwick {

// Cut when the window goes: objects that clients still hold then answer
// that their server is gone.
struct WindowAccessibility::Link {
    const Window* model = nullptr;
    std::function<void(const Control&)> press;
    std::function<PixelRect(const Control&)> rectOf;
};

namespace {

constexpr UINT_PTR kChildSubclass = 0xA11;

long msaaRole(AccessibleRole role)
{
    switch (role) {
    case AccessibleRole::LiveText: return ROLE_SYSTEM_STATICTEXT;
    case AccessibleRole::EditableText: return ROLE_SYSTEM_TEXT;
    case AccessibleRole::CheckBox: return ROLE_SYSTEM_CHECKBUTTON;
    case AccessibleRole::PushButton: return ROLE_SYSTEM_PUSHBUTTON;
    case AccessibleRole::MoveHandle: return ROLE_SYSTEM_GRIP;
    case AccessibleRole::Decoration: break;
    }
    return ROLE_SYSTEM_GRAPHIC;
}

constexpr wchar_t kPress[] = L"Press";

// Every property a child is annotated with.
void clearAnnotations(IAccPropServices* services, HWND child)
{
    const MSAAPROPID props[] = {PROPID_ACC_NAME, PROPID_ACC_ROLE, PROPID_ACC_DESCRIPTION};
    services->ClearHwndProps(child, OBJID_CLIENT, CHILDID_SELF, props, static_cast<int>(std::size(props)));
}

// A string result: S_FALSE and no string when there is none.
HRESULT text(std::wstring_view s, BSTR* out)
{
    if (s.empty()) return S_FALSE;
    *out = ::SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT number(long value, VARIANT* out)
{
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

// A window's accessible object, as the window itself gives it (WM_GETOBJECT).
template <class T>
HRESULT objectOf(HWND hwnd, LONG id, REFIID iid, win32::ComPtr<T>& object)
{
    return ::AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(id), iid, win32::out(object));
}

// The system's standard object for a window's client area, or null.
win32::ComPtr<IAccessible> standardObject(HWND hwnd)
{
    win32::ComPtr<IAccessible> standard;
    if (FAILED(::CreateStdAccessibleObject(hwnd, OBJID_CLIENT, IID_IAccessible, win32::out(standard))))
        standard.Reset();
    return standard;
}

// Hands a new object to the client that asked for it (WM_GETOBJECT).
template <class T>
LRESULT handOver(T* made, WPARAM wp)
{
    const win32::ComPtr<T> object = win32::adopt(made);
    return ::LresultFromObject(IID_IAccessible, wp, static_cast<IAccessible*>(object.Get()));
}

// Counts references and forwards every call to the system's standard
// object for the same window (inner); subclasses answer what they know.
class Forwarding : public IAccessible, public IOleWindow {
public:
    Forwarding(HWND hwnd, win32::ComPtr<IAccessible> inner) : hwnd_(hwnd), inner_(std::move(inner)) {}
    virtual ~Forwarding() = default;
    Forwarding(const Forwarding&) = delete;
    Forwarding& operator=(const Forwarding&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible)
            *out = static_cast<IAccessible*>(this);
        else if (iid == IID_IOleWindow)
            *out = static_cast<IOleWindow*>(this);
        else
            *out = more(iid);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch: clients call IAccessible directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override
    {
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // IOleWindow: WindowFromAccessibleObject asks for it.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override
    {
        *out = hwnd_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override { return inner_->get_accParent(out); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* out) override { return inner_->get_accChildCount(out); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** out) override
    {
        return inner_->get_accChild(id, out);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* out) override { return inner_->get_accName(id, out); }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* out) override { return inner_->get_accValue(id, out); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* out) override
    {
        return inner_->get_accDescription(id, out);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* out) override { return inner_->get_accRole(id, out); }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* out) override { return inner_->get_accState(id, out); }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR* out) override { return inner_->get_accHelp(id, out); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT id, LONG* topic) override
    {
        return inner_->get_accHelpTopic(file, id, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR* out) override
    {
        return inner_->get_accKeyboardShortcut(id, out);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override { return inner_->get_accFocus(out); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override { return inner_->get_accSelection(out); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* out) override
    {
        return inner_->get_accDefaultAction(id, out);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT id) override { return inner_->accSelect(flags, id); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT id) override
    {
        return inner_->accLocation(x, y, w, h, id);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG dir, VARIANT start, VARIANT* out) override
    {
        return inner_->accNavigate(dir, start, out);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* out) override
    {
        return inner_->accHitTest(x, y, out);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override { return inner_->accDoDefaultAction(id); }
    // Setting a name or value is not offered.
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

protected:
    virtual void* more(REFIID) { return nullptr; }
    static bool isSelf(const VARIANT& id) { return id.vt == VT_I4 && id.lVal == CHILDID_SELF; }

    HWND hwnd_;
    win32::ComPtr<IAccessible> inner_;

private:
    std::atomic<ULONG> refs_{1};
};

// A child control's object where the system cannot annotate it: the
// system's own, with the table's name, role and description.
class ChildObject final : public Forwarding {
public:
    ChildObject(HWND hwnd, win32::ComPtr<IAccessible> inner, std::wstring name, std::wstring description, long role)
        : Forwarding(hwnd, std::move(inner)), name_(std::move(name)), description_(std::move(description)), role_(role)
    {
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* out) override
    {
        if (!isSelf(id)) return Forwarding::get_accName(id, out);
        *out = nullptr;
        return win32::guarded([&] { return text(name_, out); });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* out) override
    {
        if (!isSelf(id) || description_.empty()) return Forwarding::get_accDescription(id, out);
        *out = nullptr;
        return win32::guarded([&] { return text(description_, out); });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* out) override
    {
        if (!isSelf(id)) return Forwarding::get_accRole(id, out);
        return number(role_, out);
    }
    // Wine's object leaves a check box's tick out of its state.
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* out) override
    {
        const HRESULT hr = Forwarding::get_accState(id, out);
        if (hr != S_OK || !isSelf(id) || role_ != ROLE_SYSTEM_CHECKBUTTON || out->vt != VT_I4) return hr;
        const LRESULT check = ::SendMessageW(hwnd_, BM_GETCHECK, 0, 0);
        if (check == BST_CHECKED) out->lVal |= STATE_SYSTEM_CHECKED;
        if (check == BST_INDETERMINATE) out->lVal |= STATE_SYSTEM_MIXED;
        return hr;
    }
    // An owner-drawn button is a push button to the system's object only
    // by annotation: its action is given here.
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* out) override
    {
        if (!isSelf(id) || role_ != ROLE_SYSTEM_PUSHBUTTON) return Forwarding::get_accDefaultAction(id, out);
        *out = nullptr;
        return text(kPress, out);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override
    {
        if (!isSelf(id) || role_ != ROLE_SYSTEM_PUSHBUTTON) return Forwarding::accDoDefaultAction(id);
        // Posted: the click's handler may open a modal dialog.
        return ::PostMessageW(hwnd_, BM_CLICK, 0, 0) ? S_OK : E_FAIL;
    }

private:
    std::wstring name_, description_;
    long role_;
};

// The window's client area: the child controls as the system's objects of
// their windows, the painted ones as simple elements. Child ids are 1-based
// positions in the list.
class WindowObject final : public Forwarding, public IEnumVARIANT {
public:
    using Item = WindowAccessibility::Element;

    WindowObject(HWND hwnd, win32::ComPtr<IAccessible> inner, std::shared_ptr<WindowAccessibility::Link> link,
                 std::vector<Item> items)
        : Forwarding(hwnd, std::move(inner)), link_(std::move(link)), items_(std::move(items))
    {
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        return Forwarding::QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return Forwarding::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return Forwarding::Release(); }

    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* out) override
    {
        *out = static_cast<LONG>(items_.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** out) override
    {
        *out = nullptr;
        const Item* item = itemOf(id);
        if (!item) return E_INVALIDARG;
        if (!item->child) return S_FALSE;  // a simple element
        win32::ComPtr<IDispatch> object;
        const HRESULT hr = objectOf(item->child, OBJID_WINDOW, IID_IDispatch, object);
        *out = object.Detach();
        return hr;
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* out) override
    {
        *out = nullptr;
        return route(
            id, [&] { return text(win32::toUtf16(kWindowAccessibleName), out); },
            [&](IAccessible* a, VARIANT self) { return a->get_accName(self, out); },
            [&](const Control&, const AccessibleFacts& f) { return text(win32::toUtf16(f.name), out); });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* out) override
    {
        *out = nullptr;
        return route(
            id, [&] { return Forwarding::get_accValue(id, out); },
            [&](IAccessible* a, VARIANT self) { return a->get_accValue(self, out); },
            [&](const Control& c, const AccessibleFacts& f) {
                return f.role == AccessibleRole::LiveText ? text(win32::toUtf16(c.text), out) : S_FALSE;
            });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* out) override
    {
        *out = nullptr;
        return route(
            id, [&] { return Forwarding::get_accDescription(id, out); },
            [&](IAccessible* a, VARIANT self) { return a->get_accDescription(self, out); },
            [&](const Control&, const AccessibleFacts& f) { return text(win32::toUtf16(f.description), out); });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* out) override
    {
        ::VariantInit(out);
        return route(
            id, [&] { return Forwarding::get_accRole(id, out); },
            [&](IAccessible* a, VARIANT self) { return a->get_accRole(self, out); },
            [&](const Control&, const AccessibleFacts& f) { return number(msaaRole(f.role), out); });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* out) override
    {
        ::VariantInit(out);
        return route(
            id, [&] { return Forwarding::get_accState(id, out); },
            [&](IAccessible* a, VARIANT self) { return a->get_accState(self, out); },
            [&](const Control& c, const AccessibleFacts& f) {
                long state = c.visible ? 0 : STATE_SYSTEM_INVISIBLE;
                if (f.role == AccessibleRole::LiveText) state |= STATE_SYSTEM_READONLY;
                return number(state, out);
            });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR* out) override
    {
        *out = nullptr;
        return route(
            id, [&] { return Forwarding::get_accHelp(id, out); },
            [&](IAccessible* a, VARIANT self) { return a->get_accHelp(self, out); },
            [](const Control&, const AccessibleFacts&) { return S_FALSE; });
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR* out) override
    {
        *out = nullptr;
        return route(
            id, [&] { return Forwarding::get_accKeyboardShortcut(id, out); },
            [&](IAccessible* a, VARIANT self) { return a->get_accKeyboardShortcut(self, out); },
            [](const Control&, const AccessibleFacts&) { return S_FALSE; });
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT id, LONG* topic) override
    {
        if (isSelf(id)) return Forwarding::get_accHelpTopic(file, id, topic);
        *file = nullptr;
        *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* out) override
    {
        *out = nullptr;
        return route(
            id, [&] { return Forwarding::get_accDefaultAction(id, out); },
            [&](IAccessible* a, VARIANT self) { return a->get_accDefaultAction(self, out); },
            [&](const Control&, const AccessibleFacts& f) {
                return f.role == AccessibleRole::PushButton ? text(kPress, out) : S_FALSE;
            });
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override
    {
        return route(
            id, [&] { return Forwarding::accDoDefaultAction(id); },
            [&](IAccessible* a, VARIANT self) { return a->accDoDefaultAction(self); },
            [&](const Control& c, const AccessibleFacts& f) -> HRESULT {
                if (f.role != AccessibleRole::PushButton) return DISP_E_MEMBERNOTFOUND;
                link_->press(c);
                return S_OK;
            });
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT id) override
    {
        return route(
            id, [&] { return Forwarding::accSelect(flags, id); },
            [&](IAccessible* a, VARIANT self) { return a->accSelect(flags, self); },
            [](const Control&, const AccessibleFacts&) { return DISP_E_MEMBERNOTFOUND; });
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT id) override
    {
        *x = *y = *w = *h = 0;
        return route(
            id, [&] { return Forwarding::accLocation(x, y, w, h, id); },
            [&](IAccessible* a, VARIANT self) { return a->accLocation(x, y, w, h, self); },
            [&](const Control& c, const AccessibleFacts&) -> HRESULT {
                const PixelRect r = link_->rectOf(c);
                POINT at{r.left, r.top};
                if (!::ClientToScreen(hwnd_, &at)) return E_FAIL;
                *x = at.x;
                *y = at.y;
                *w = r.width;
                *h = r.height;
                return S_OK;
            });
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG dir, VARIANT start, VARIANT* out) override
    {
        ::VariantInit(out);
        if (!link_->model) return CO_E_OBJNOTCONNECTED;
        const long n = static_cast<long>(items_.size());
        if (isSelf(start)) {
            if (dir == NAVDIR_FIRSTCHILD) return n ? child(1, out) : S_FALSE;
            if (dir == NAVDIR_LASTCHILD) return n ? child(n, out) : S_FALSE;
            return Forwarding::accNavigate(dir, start, out);
        }
        if (!itemOf(start)) return E_INVALIDARG;
        long next = start.lVal;
        if (dir == NAVDIR_NEXT)
            ++next;
        else if (dir == NAVDIR_PREVIOUS)
            --next;
        else
            return DISP_E_MEMBERNOTFOUND;
        return next >= 1 && next <= n ? child(next, out) : S_FALSE;
    }
    // The child windows lie over the painted surface; among painted
    // controls the front-most wins, as for the mouse.
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* out) override
    {
        ::VariantInit(out);
        if (!link_->model) return CO_E_OBJNOTCONNECTED;
        POINT at{x, y};
        RECT client;
        if (!::ScreenToClient(hwnd_, &at) || !::GetClientRect(hwnd_, &client) || !::PtInRect(&client, at))
            return Forwarding::accHitTest(x, y, out);
        const Control* front = nullptr;
        long frontId = CHILDID_SELF;
        for (std::size_t i = 0; i < items_.size(); ++i) {
            const Item& item = items_[i];
            const long id = static_cast<long>(i) + 1;
            if (item.child) {
                RECT r;
                if (::IsWindowVisible(item.child) && ::GetWindowRect(item.child, &r) && ::PtInRect(&r, POINT{x, y}))
                    return child(id, out);
            } else if (item.control->visible && link_->rectOf(*item.control).contains(at.x, at.y) &&
                       (!front || item.control->stacking < front->stacking)) {
                front = item.control;
                frontId = id;
            }
        }
        return number(frontId, out);
    }

    // IEnumVARIANT, which AccessibleChildren asks for first.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override
    {
        ULONG got = 0;
        while (got < count && next_ < items_.size()) {
            ::VariantInit(&out[got]);
            if (FAILED(child(static_cast<long>(++next_), &out[got]))) continue;
            ++got;
        }
        if (fetched) *fetched = got;
        return got == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        next_ += count;
        if (next_ <= items_.size()) return S_OK;
        next_ = items_.size();
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        next_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override
    {
        *out = nullptr;
        return win32::guarded([&]() -> HRESULT {
            auto copy = win32::adopt(new WindowObject(hwnd_, inner_, link_, items_));
            copy->next_ = next_;
            *out = copy.Detach();
            return S_OK;
        });
    }

private:
    void* more(REFIID iid) override { return iid == IID_IEnumVARIANT ? static_cast<IEnumVARIANT*>(this) : nullptr; }

    const Item* itemOf(const VARIANT& id) const
    {
        if (id.vt != VT_I4 || id.lVal < 1 || static_cast<std::size_t>(id.lVal) > items_.size()) return nullptr;
        return &items_[static_cast<std::size_t>(id.lVal) - 1];
    }

    // A child window as the system's object of that window, a painted
    // control as its id.
    HRESULT child(long id, VARIANT* out)
    {
        const Item& item = items_[static_cast<std::size_t>(id) - 1];
        if (!item.child) return number(id, out);
        win32::ComPtr<IDispatch> object;
        const HRESULT hr = objectOf(item.child, OBJID_WINDOW, IID_IDispatch, object);
        if (FAILED(hr)) return hr;
        out->vt = VT_DISPATCH;
        out->pdispVal = object.Detach();
        return S_OK;
    }

    // One property: of the window itself (self), asked of a child window's
    // own object (window), or of a painted control (painted).
    template <class Self, class ChildWindow, class Painted>
    HRESULT route(const VARIANT& id, Self self, ChildWindow window, Painted painted)
    {
        return win32::guarded([&]() -> HRESULT {
            if (!link_->model || !::IsWindow(hwnd_)) return CO_E_OBJNOTCONNECTED;
            if (isSelf(id)) return self();
            const Item* item = itemOf(id);
            if (!item) return E_INVALIDARG;
            if (item->child) {
                win32::ComPtr<IAccessible> object;
                const HRESULT hr = objectOf(item->child, OBJID_CLIENT, IID_IAccessible, object);
                if (FAILED(hr)) return hr;
                VARIANT whole;
                whole.vt = VT_I4;
                whole.lVal = CHILDID_SELF;
                return window(object.Get(), whole);
            }
            const auto facts = accessibleOf(*item->control);
            return facts ? painted(*item->control, *facts) : E_INVALIDARG;
        });
    }

    std::shared_ptr<WindowAccessibility::Link> link_;
    std::vector<Item> items_;
    std::size_t next_ = 0;  // the enumeration's position
};

}  // namespace

WindowAccessibility::WindowAccessibility(Window& model, std::function<PixelRect(const Control&)> rectOf,
                                         std::function<void(const Control&)> press)
    : model_(model), press_(std::move(press)), link_(std::make_shared<Link>())
{
    link_->model = &model_;
    link_->press = [this](const Control& c) { pressLater(c); };
    link_->rectOf = std::move(rectOf);
}

WindowAccessibility::~WindowAccessibility()
{
    link_->model = nullptr;
    link_->press = [](const Control&) {};
    link_->rectOf = [](const Control&) { return PixelRect{}; };
    if (hwnd_ && ::IsWindow(hwnd_)) ::KillTimer(hwnd_, reinterpret_cast<UINT_PTR>(this));
    // The system keeps annotations by window handle, which may be reused.
    if (annotated_.empty()) return;
    win32::ComPtr<IAccPropServices> services;
    if (FAILED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                  win32::out(services))))
        return;
    for (HWND child : annotated_)
        clearAnnotations(services.Get(), child);
}

void WindowAccessibility::bindChild(HWND child, const Control& c)
{
    const auto facts = accessibleOf(c);
    if (!facts || facts->role == AccessibleRole::Decoration) return;
    children_[child] = &c;
    order_.clear();
    ChildFacts f{win32::toUtf16(facts->name), win32::toUtf16(facts->description), msaaRole(facts->role)};

    win32::ComPtr<IAccPropServices> services;
    bool annotated = SUCCEEDED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                                  IID_IAccPropServices, win32::out(services)));
    if (annotated) {
        VARIANT role;
        role.vt = VT_I4;
        role.lVal = f.role;
        annotated =
            SUCCEEDED(services->SetHwndPropStr(child, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, f.name.data())) &&
            SUCCEEDED(services->SetHwndProp(child, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_ROLE, role)) &&
            (f.description.empty() ||
             SUCCEEDED(services->SetHwndPropStr(child, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_DESCRIPTION,
                                                f.description.data())));
        if (!annotated) clearAnnotations(services.Get(), child);
    }
    // Wine's oleacc has the service but annotates nothing (E_NOTIMPL): the
    // child answers for itself with a proxy of the system's object.
    if (annotated) {
        annotated_.push_back(child);
    } else {
        proxied_[child] = std::move(f);
        ::SetWindowSubclass(child, &WindowAccessibility::childProc, kChildSubclass, reinterpret_cast<DWORD_PTR>(this));
    }
}

LRESULT WindowAccessibility::getObject(HWND hwnd, WPARAM wp, LPARAM lp)
{
    if (static_cast<LONG>(static_cast<DWORD>(lp)) != OBJID_CLIENT) return 0;
    hwnd_ = hwnd;
    win32::ComPtr<IAccessible> standard = standardObject(hwnd);
    if (!standard) return 0;
    if (order_.empty()) order_ = readingOrder();
    return handOver(new WindowObject(hwnd, std::move(standard), link_, order_), wp);
}

// Only once a client has asked for the window's object is anyone listening.
void WindowAccessibility::valueChanged(const Control& c) const
{
    if (!hwnd_) return;
    for (std::size_t i = 0; i < order_.size(); ++i)
        if (order_[i].control == &c)
            ::NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, hwnd_, OBJID_CLIENT, static_cast<LONG>(i + 1));
}

std::vector<WindowAccessibility::Element> WindowAccessibility::readingOrder() const
{
    std::vector<Element> items;
    for (const Control& c : model_.controls) {
        const auto facts = accessibleOf(c);
        if (!facts || facts->role == AccessibleRole::Decoration) continue;
        HWND child = nullptr;
        for (const auto& [h, bound] : children_)
            if (bound == &c) child = h;
        if (child || Surface::paints(c)) items.push_back({&c, child});
    }
    // Top to bottom, then left to right, in the layout: the same at every DPI.
    std::stable_sort(items.begin(), items.end(), [](const Element& a, const Element& b) {
        const PixelRect ra = pixelRect(*a.control), rb = pixelRect(*b.control);
        return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
    });
    return items;
}

LRESULT CALLBACK WindowAccessibility::childProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    return win32::guarded([&]() -> LRESULT {
        auto* self = reinterpret_cast<WindowAccessibility*>(data);
        if (msg == WM_NCDESTROY) {
            ::RemoveWindowSubclass(hwnd, &WindowAccessibility::childProc, kChildSubclass);
            self->proxied_.erase(hwnd);
        } else if (msg == WM_GETOBJECT && static_cast<LONG>(static_cast<DWORD>(lp)) == OBJID_CLIENT) {
            if (const auto it = self->proxied_.find(hwnd); it != self->proxied_.end())
                if (win32::ComPtr<IAccessible> standard = standardObject(hwnd)) {
                    const ChildFacts& f = it->second;
                    return handOver(new ChildObject(hwnd, std::move(standard), f.name, f.description, f.role), wp);
                }
        }
        return ::DefSubclassProc(hwnd, msg, wp, lp);
    });
}

// The press may end the program; run from the message loop, so that the
// client's call returns first.
void WindowAccessibility::pressLater(const Control& c)
{
    pressed_ = &c;
    if (hwnd_) ::SetTimer(hwnd_, reinterpret_cast<UINT_PTR>(this), USER_TIMER_MINIMUM, &WindowAccessibility::pressProc);
}

void CALLBACK WindowAccessibility::pressProc(HWND hwnd, UINT, UINT_PTR id, DWORD)
{
    win32::guarded([&] {
        ::KillTimer(hwnd, id);
        auto* self = reinterpret_cast<WindowAccessibility*>(id);
        if (const Control* c = std::exchange(self->pressed_, nullptr)) self->press_(*c);
    });
}

}  // namespace bellwick
