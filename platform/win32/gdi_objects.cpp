#include "win32/gdi_objects.h"

#include "win32/utf16.h"

#include <utility>

namespace bellwick {

HFONT GdiObjects::font(const std::optional<Font>& f)
{
    if (!f) return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    for (const auto& [font, handle] : fonts_)
        if (font == *f) return handle.get();
    win32::GdiFont handle(
        ::CreateFontW(-f->pixels, 0, 0, 0, f->weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, win32::toUtf16(f->face).c_str()));
    if (!handle) return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    return fonts_.emplace_back(*f, std::move(handle)).second.get();
}

HBRUSH GdiObjects::brush(COLORREF colour)
{
    if (const auto it = brushes_.find(colour); it != brushes_.end()) return it->second.get();
    win32::GdiBrush brush(::CreateSolidBrush(colour));
    if (!brush) return static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    return brushes_.emplace(colour, std::move(brush)).first->second.get();
}

}  // namespace bellwick
