#include "qt/x11_urgency.h"

#include <QGuiApplication>
#include <QWidget>

#ifdef BELLWICK_HAVE_XCB
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#endif

namespace bellwick {

#if defined(BELLWICK_HAVE_XCB) && QT_CONFIG(xcb)

void setUrgency(QWidget& window, bool urgent)
{
    if (!window.isWindow() || !qGuiApp) return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* conn = x11 ? x11->connection() : nullptr;
    if (!conn) return;

    constexpr std::uint32_t kUrgencyHint = 1u << 8;
    const auto id = static_cast<xcb_window_t>(window.winId());
    // flags, input, initial state, icon pixmap, window, x, y, mask, group
    std::array<std::uint32_t, 9> hints{};
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(
            conn, xcb_get_property(conn, 0, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, hints.size()), nullptr),
        &std::free);
    if (reply && reply->format == 32) {
        const auto n = std::min<std::size_t>(xcb_get_property_value_length(reply.get()) / 4, hints.size());
        const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
        std::copy_n(values, n, hints.begin());
    }
    const std::uint32_t flags = urgent ? hints[0] | kUrgencyHint : hints[0] & ~kUrgencyHint;
    if (flags == hints[0] && reply && reply->format == 32) return;
    hints[0] = flags;
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, hints.size(),
                        hints.data());
    xcb_flush(conn);
}

#else

void setUrgency(QWidget&, bool) {}

#endif

}  // namespace bellwick
