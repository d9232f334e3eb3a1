#include "win32/gdi_objects.h"

#include "win32/utf16.h"

namespace bellwick {

GdiObjects::~GdiObjects()
{
    for (auto& [font, handle] : fonts_)
        ::DeleteObject(handle);
    for (auto& [colour, brush] : brushes_)
        ::DeleteObject(brush);
}

HFONT GdiObjects::font(const std::optional<Font>& f)
{
    if (!f) return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    for (const auto& [font, handle] : fonts_)
        if (font == *f) return handle;
    HFONT handle =
        ::CreateFontW(-f->pixels, 0, 0, 0, f->weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, win32::toUtf16(f->face).c_str());
    if (!handle) return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    fonts_.emplace_back(*f, handle);
    return handle;
}

HBRUSH GdiObjects::brush(COLORREF colour)
{
    HBRUSH& brush = brushes_[colour];
    if (!brush) brush = ::CreateSolidBrush(colour);
    return brush;
}

}  // namespace bellwick
