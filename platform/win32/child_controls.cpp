#include "win32/child_controls.h"

#include "view/look.h"
#include "view/view.h"
#include "win32/utf16.h"

#include <string>

namespace bellwick {

namespace {

void setMargins(HWND child, const Control& c, Dpi dpi)
{
    if (c.kind != ControlKind::TextBox) return;
    const int margin = dpi.scale(2);
    ::SendMessageW(child, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
}

}  // namespace

HWND createChild(const Control& c, HWND parent, int id, Dpi dpi)
{
    const wchar_t* cls = L"BUTTON";
    DWORD style = WS_CHILD;  // tab stops come from the tab order
    DWORD exStyle = 0;
    switch (c.kind) {
    case ControlKind::TextBox:
        cls = L"EDIT";
        style |= ES_AUTOHSCROLL | (c.locked ? ES_READONLY : 0);
        exStyle = WS_EX_CLIENTEDGE;
        break;
    case ControlKind::CheckBox: style |= BS_AUTOCHECKBOX; break;
    case ControlKind::CommandButton: style |= BS_OWNERDRAW; break;
    default: return nullptr;
    }
    const PixelRect r = dpi.scale(pixelRect(c));
    HWND child =
        ::CreateWindowExW(exStyle, cls, win32::toUtf16(c.text).c_str(), style, r.left, r.top, r.width, r.height, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    if (!child) return nullptr;
    setMargins(child, c, dpi);
    if (c.kind == ControlKind::CheckBox)
        ::SendMessageW(child, BM_SETCHECK, c.value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    return child;
}

void placeChild(HWND child, const Control& c, HFONT font, Dpi dpi)
{
    const PixelRect r = dpi.scale(pixelRect(c));
    ::SetWindowPos(child, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    setMargins(child, c, dpi);
}

void drawButton(const DRAWITEMSTRUCT& item, const Control& c, HFONT font, GdiObjects& gdi, Dpi dpi)
{
    const bool pressed = item.itemState & ODS_SELECTED;
    const int pixel = dpi.scale(1);
    RECT r = item.rcItem;
    ::FillRect(item.hDC, &r, gdi.brush(colourOf(look::buttonFace(c, pressed))));
    for (int i = 0; i < pixel; ++i) {
        RECT frame = item.rcItem;
        ::InflateRect(&frame, -i, -i);
        ::FrameRect(item.hDC, &frame, gdi.brush(colourOf(look::kButtonFrame)));
    }
    if (pressed) ::OffsetRect(&r, pixel, pixel);
    const int mode = ::SetBkMode(item.hDC, TRANSPARENT);
    const COLORREF colour = ::SetTextColor(item.hDC, colourOf(look::fore(c)));
    const HGDIOBJ old = ::SelectObject(item.hDC, font);
    const std::wstring caption = win32::toUtf16(c.text);
    ::DrawTextW(item.hDC, caption.c_str(), static_cast<int>(caption.size()), &r,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(item.hDC, old);
    ::SetTextColor(item.hDC, colour);
    ::SetBkMode(item.hDC, mode);
    // The focus frame shows once the keyboard has been used.
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = item.rcItem;
        ::InflateRect(&focus, -2 * pixel, -2 * pixel);
        ::DrawFocusRect(item.hDC, &focus);
    }
}

}  // namespace bellwick
