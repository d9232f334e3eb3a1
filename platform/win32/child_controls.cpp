#include "win32/child_controls.h"

#include "view/look.h"
#include "view/view.h"
#include "win32/utf16.h"

#include <string>

namespace bellwick {

HWND createChild(const Control& c, HWND parent, int id)
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
    const PixelRect r = pixelRect(c);
    HWND child =
        ::CreateWindowExW(exStyle, cls, win32::toUtf16(c.text).c_str(), style, r.left, r.top, r.width, r.height, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    if (!child) return nullptr;
    if (c.kind == ControlKind::TextBox)
        ::SendMessageW(child, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(2, 2));
    else if (c.kind == ControlKind::CheckBox)
        ::SendMessageW(child, BM_SETCHECK, c.value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    return child;
}

void drawButton(const DRAWITEMSTRUCT& item, const Control& c, HFONT font, GdiObjects& gdi)
{
    const bool pressed = item.itemState & ODS_SELECTED;
    RECT r = item.rcItem;
    ::FillRect(item.hDC, &r, gdi.brush(colourOf(look::buttonFace(c, pressed))));
    ::FrameRect(item.hDC, &r, gdi.brush(colourOf(look::kButtonFrame)));
    if (pressed) ::OffsetRect(&r, 1, 1);
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
        ::InflateRect(&focus, -2, -2);
        ::DrawFocusRect(item.hDC, &focus);
    }
}

}  // namespace bellwick
