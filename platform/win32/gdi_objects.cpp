#include "win32/gdi_objects.h"

#include "win32/utf16.h"

#include <utility>

namespace bellwick {

HFONT GdiObjects::font(const std::optional<Font>& f)
{
    const auto stock = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (!f) {
        if (dpi_ == Dpi()) return stock;
        if (LOGFONTW face{}; !guiFont_ && ::GetObjectW(stock, sizeof face, &face)) {
            face.lfHeight = dpi_.scale(face.lfHeight);
            guiFont_.reset(::CreateFontIndirectW(&face));
        }
        return guiFont_ ? guiFont_.get() : stock;
    }
    for (const auto& [font, handle] : fonts_)
        if (font == *f) return handle.get();
    // The bitmap face comes in a few sizes only; scaled, its outline twin
    // Microsoft Sans Serif keeps the proportions.
    const bool outline = dpi_ != Dpi() && f->face == "MS Sans Serif";
    win32::GdiFont handle(::CreateFontW(-dpi_.scale(f->pixels), 0, 0, 0, f->weight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                        DEFAULT_PITCH | FF_SWISS,
                                        outline ? L"Microsoft Sans Serif" : win32::toUtf16(f->face).c_str()));
    if (!handle) return stock;
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
