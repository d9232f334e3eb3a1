// A console helper for the end-to-end tests: looks at Bellwick's window
// from another process, the way the system sees it.
//
//   win_probe rect       window rectangle on the screen: "L T R B"
//   win_probe region     the window region's rectangles, one "L T R B" a line
//   win_probe focus      class and text of the control with the keyboard focus
//   win_probe selection  that control's selection: "start end" in UTF-16 units
//   win_probe close      asks the window to close (WM_CLOSE)
//   win_probe registry   the stored sound file (UTF-8), or "absent"
//   win_probe checked    the state of the "Set Alarm" check box: 0 or 1
//   win_probe message    the open message box's title, then its text, a line each
//   win_probe accessible the window's accessible object, then each child, a line
//                        each: "name<TAB>role<TAB>state<TAB>value<TAB>L T W H" (role
//                        and state in hex; a child window read through its own object)
//   win_probe press NAME the default action of the child named NAME: its HRESULT
//   win_probe hit X Y    the name of the accessible element at screen point X Y
//   win_probe changes    the name of the first element of the window whose value
//                        changes, as a value-change event tells it (10 s at most)
//
// Exit status 2 when there is no window titled "Bellwick" (or no value).

#include "win32/win_api.h"

#include <ole2.h>
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string utf8(const wchar_t* text, int length)
{
    if (length <= 0) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}

int region(HWND window)
{
    HRGN shape = ::CreateRectRgn(0, 0, 0, 0);
    if (::GetWindowRgn(window, shape) == ERROR) {
        std::puts("no region");
        return 1;
    }
    const DWORD size = ::GetRegionData(shape, 0, nullptr);
    std::vector<char> buffer(size);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    ::GetRegionData(shape, size, data);
    const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
    for (DWORD i = 0; i < data->rdh.nCount; ++i)
        std::printf("%ld %ld %ld %ld\n", rects[i].left, rects[i].top, rects[i].right, rects[i].bottom);
    ::DeleteObject(shape);
    return 0;
}

HWND focused(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

int selection(HWND window)
{
    DWORD_PTR range = 0;
    HWND control = focused(window);
    if (!control || !::SendMessageTimeoutW(control, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &range)) {
        std::puts("none");
        return 1;
    }
    std::printf("%u %u\n", static_cast<unsigned>(LOWORD(range)), static_cast<unsigned>(HIWORD(range)));
    return 0;
}

int focus(HWND window)
{
    HWND control = focused(window);
    if (!control) {
        std::puts("none");
        return 1;
    }
    wchar_t cls[64] = {}, text[256] = {};
    const int c = ::GetClassNameW(control, cls, 64);
    // Asked of the control itself: an edit keeps its text to itself.
    DWORD_PTR t = 0;
    ::SendMessageTimeoutW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &t);
    std::printf("%s %s\n", utf8(cls, c).c_str(), utf8(text, static_cast<int>(t)).c_str());
    return 0;
}

int registry()
{
    wchar_t value[4096] = {};
    DWORD bytes = sizeof value;
    const LSTATUS status = ::RegGetValueW(HKEY_CURRENT_USER, L"Software\\KV Bellwick\\SoundFile", L"Sound",
                                          RRF_RT_REG_SZ, nullptr, value, &bytes);
    if (status != ERROR_SUCCESS) {
        std::puts("absent");
        return 2;
    }
    std::printf("%s\n", utf8(value, static_cast<int>(bytes / sizeof(wchar_t)) - 1).c_str());
    return 0;
}

std::string windowText(HWND window)
{
    wchar_t text[512] = {};
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &length);
    return utf8(text, static_cast<int>(length));
}

// The box is the dialog class titled "Bellwick"; its text is the one static
// control that holds any (the icon's holds none).
int message()
{
    HWND box = ::FindWindowW(L"#32770", L"Bellwick");
    if (!box) {
        std::puts("no message");
        return 2;
    }
    std::printf("%s\n", windowText(box).c_str());
    for (HWND c = ::FindWindowExW(box, nullptr, L"Static", nullptr); c; c = ::FindWindowExW(box, c, L"Static", nullptr))
        if (const std::string text = windowText(c); !text.empty()) std::printf("%s\n", text.c_str());
    return 0;
}

// One element of an accessible object, or the object itself (CHILDID_SELF).
struct Element {
    IAccessible* object;
    LONG id;
};

std::string bstrText(BSTR text)
{
    std::string out = text ? utf8(text, static_cast<int>(::SysStringLen(text))) : "";
    ::SysFreeString(text);
    return out;
}

VARIANT childId(LONG id)
{
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::string nameOf(const Element& e)
{
    BSTR name = nullptr;
    return SUCCEEDED(e.object->get_accName(childId(e.id), &name)) ? bstrText(name) : "";
}

std::string describe(const Element& e)
{
    const VARIANT id = childId(e.id);
    VARIANT role, state;
    ::VariantInit(&role);
    ::VariantInit(&state);
    BSTR value = nullptr;
    e.object->get_accRole(id, &role);
    e.object->get_accState(id, &state);
    e.object->get_accValue(id, &value);
    LONG x = 0, y = 0, w = 0, h = 0;
    e.object->accLocation(&x, &y, &w, &h, id);
    char numbers[128];
    std::snprintf(numbers, sizeof numbers, "\t%lx\t%lx\t", role.vt == VT_I4 ? role.lVal : -1L,
                  state.vt == VT_I4 ? state.lVal : 0L);
    char box[64];
    std::snprintf(box, sizeof box, "\t%ld %ld %ld %ld", x, y, w, h);
    return nameOf(e) + numbers + bstrText(value) + box;
}

// The children of the window's client object. A child that is a whole
// object is the system's object of a child window: read through that
// window's own client object, as a screen reader does.
std::vector<Element> children(IAccessible* window)
{
    std::vector<Element> found;
    LONG count = 0;
    if (FAILED(window->get_accChildCount(&count)) || count <= 0) return found;
    std::vector<VARIANT> kids(static_cast<std::size_t>(count));
    LONG got = 0;
    if (FAILED(::AccessibleChildren(window, 0, count, kids.data(), &got))) return found;
    for (LONG i = 0; i < got; ++i) {
        VARIANT& kid = kids[static_cast<std::size_t>(i)];
        if (kid.vt == VT_I4) {
            window->AddRef();
            found.push_back({window, kid.lVal});
        } else if (kid.vt == VT_DISPATCH && kid.pdispVal) {
            HWND child = nullptr;
            IAccessible* object = nullptr;
            IAccessible* inner = nullptr;
            if (SUCCEEDED(kid.pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&inner)))) {
                ::WindowFromAccessibleObject(inner, &child);
                inner->Release();
            }
            if (child && SUCCEEDED(::AccessibleObjectFromWindow(child, static_cast<DWORD>(OBJID_CLIENT),
                                                                IID_IAccessible, reinterpret_cast<void**>(&object))))
                found.push_back({object, CHILDID_SELF});
        }
        ::VariantClear(&kid);
    }
    return found;
}

void release(std::vector<Element>& elements)
{
    for (Element& e : elements)
        e.object->Release();
    elements.clear();
}

int accessible(IAccessible* window, int argc, char** argv)
{
    const std::string command = argv[1];
    if (command == "hit" && argc > 3) {
        VARIANT at;
        ::VariantInit(&at);
        if (FAILED(window->accHitTest(std::atol(argv[2]), std::atol(argv[3]), &at))) return 1;
        if (at.vt == VT_I4) {
            std::printf("%s\n", nameOf({window, at.lVal}).c_str());
        } else if (at.vt == VT_DISPATCH) {
            // The system's object of a child window: its client has the name.
            IAccessible* inner = nullptr;
            HWND child = nullptr;
            IAccessible* object = nullptr;
            if (SUCCEEDED(at.pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&inner)))) {
                ::WindowFromAccessibleObject(inner, &child);
                inner->Release();
            }
            if (child && SUCCEEDED(::AccessibleObjectFromWindow(child, static_cast<DWORD>(OBJID_CLIENT),
                                                                IID_IAccessible, reinterpret_cast<void**>(&object)))) {
                std::printf("%s\n", nameOf({object, CHILDID_SELF}).c_str());
                object->Release();
            }
        }
        ::VariantClear(&at);
        return 0;
    }
    std::vector<Element> found = children(window);
    int status = 0;
    if (command == "accessible") {
        std::printf("%s\n", describe({window, CHILDID_SELF}).c_str());
        for (const Element& e : found)
            std::printf("%s\n", describe(e).c_str());
    } else if (command == "press" && argc > 2) {
        status = 2;
        for (const Element& e : found)
            if (nameOf(e) == argv[2]) {
                std::printf("%lx\n", e.object->accDoDefaultAction(childId(e.id)));
                status = 0;
                break;
            }
    }
    release(found);
    return status;
}

HWND watched = nullptr;
std::string changed;

void CALLBACK valueChanged(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD)
{
    if (hwnd != watched || object != OBJID_CLIENT || !changed.empty()) return;
    IAccessible* source = nullptr;
    VARIANT id;
    ::VariantInit(&id);
    if (FAILED(::AccessibleObjectFromEvent(hwnd, object, child, &source, &id))) return;
    changed = nameOf({source, id.vt == VT_I4 ? id.lVal : child});
    source->Release();
}

int changes(HWND window, IAccessible*)
{
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    watched = window;
    HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, &valueChanged,
                                           process, 0, WINEVENT_OUTOFCONTEXT);
    if (!hook) return 1;
    const DWORD until = ::GetTickCount() + 10000;
    MSG msg;
    while (changed.empty() && static_cast<LONG>(until - ::GetTickCount()) > 0) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
    }
    ::UnhookWinEvent(hook);
    std::printf("%s\n", changed.c_str());
    return changed.empty() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "registry") return registry();
    if (command == "message") return message();
    HWND window = ::FindWindowW(nullptr, L"Bellwick");
    if (!window) {
        std::puts("no window");
        return 2;
    }
    if (command == "rect") {
        RECT r;
        ::GetWindowRect(window, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
        return 0;
    }
    if (command == "region") return region(window);
    if (command == "focus") return focus(window);
    if (command == "selection") return selection(window);
    if (command == "close") return ::PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    if (command == "accessible" || command == "press" || command == "hit" || command == "changes") {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        IAccessible* object = nullptr;
        if (FAILED(::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                                reinterpret_cast<void**>(&object))))
            return 1;
        // Asked for the window's object first, as a screen reader does.
        const int status = command == "changes" ? changes(window, object) : accessible(object, argc, argv);
        object->Release();
        ::CoUninitialize();
        return status;
    }
    if (command == "checked") {
        HWND box = ::FindWindowExW(window, nullptr, L"Button", L"Set Alarm");
        DWORD_PTR state = 0;
        if (!box || !::SendMessageTimeoutW(box, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state)) return 1;
        std::printf("%u\n", static_cast<unsigned>(state));
        return 0;
    }
    std::fprintf(stderr,
                 "usage: win_probe rect|region|focus|selection|close|registry|checked|message|accessible|press|hit\n");
    return 64;
}
