#include "win32/surface.h"

#include "view/look.h"
#include "win32/utf16.h"

#include <cstdio>
#include <exception>
#include <string_view>

namespace bellwick {

namespace {

RECT rect(const PixelRect& r) { return RECT{r.left, r.top, r.left + r.width, r.top + r.height}; }

}  // namespace

Surface::Surface(Window& model, Dpi dpi) : model_(model), dpi_(dpi)
{
    for (Control& c : model_.controls) {
        if (c.kind != ControlKind::Image) continue;
        const PixelRect r = dpi_.scale(pixelRect(c));
        try {
            pictures_[&c] = decodePicture(resourceBytes(look::pictureFile(c.picture)), r.width, r.height);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "bellwick: %s: %s\n", c.name.value_or("?").c_str(), e.what());
        }
    }
}

bool Surface::paints(const Control& c)
{
    return c.kind == ControlKind::Image || c.kind == ControlKind::Label || c.kind == ControlKind::Line;
}

PixelRect Surface::rectOf(const Control& c) const { return dpi_.scale(c.isLine() ? lineBand(c) : pixelRect(c)); }

void Surface::paint(HDC dc, GdiObjects& gdi) const
{
    const RECT all = rect(dpi_.scale(clientRect(model_)));
    ::FillRect(dc, &all, gdi.brush(colourOf(model_.backColor)));
    for (const Control* c : backToFront(model_)) {
        if (!c->visible || !paints(*c)) continue;
        const PixelRect r = rectOf(*c);
        RECT box = rect(r);
        switch (c->kind) {
        case ControlKind::Image:
            if (const auto it = pictures_.find(c); it != pictures_.end() && !it->second.empty())
                it->second.draw(dc, r.left, r.top);
            else
                ::FillRect(dc, &box, gdi.brush(colourOf(look::kMissingPicture)));
            break;
        case ControlKind::Label: {
            const int mode = ::SetBkMode(dc, TRANSPARENT);
            const COLORREF colour = ::SetTextColor(dc, colourOf(look::fore(*c)));
            // Left chosen: choosing a font into a context costs Wine calls to its server.
            const HGDIOBJ font = gdi.font(c->font ? c->font : model_.defaultFont);
            if (::GetCurrentObject(dc, OBJ_FONT) != font) ::SelectObject(dc, font);
            const std::wstring caption = win32::toUtf16(c->text);
            ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &box,
                        DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
            ::SetTextColor(dc, colour);
            ::SetBkMode(dc, mode);
            break;
        }
        case ControlKind::Line: ::FillRect(dc, &box, gdi.brush(colourOf(look::fore(*c)))); break;
        default: break;
        }
    }
}

}  // namespace bellwick
