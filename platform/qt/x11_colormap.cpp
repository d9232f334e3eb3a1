#include "qt/x11_colormap.h"

#include <QGuiApplication>
#include <QWidget>

#ifdef BELLWICK_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#endif

namespace bellwick {

#if defined(BELLWICK_HAVE_XCB) && QT_CONFIG(xcb)

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};

template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

}  // namespace

void useDefaultColormap(QWidget& window)
{
    if (!window.isWindow() || !qGuiApp) return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) return;
    xcb_connection_t* conn = x11->connection();
    if (!conn) return;

    const auto id = static_cast<xcb_window_t>(window.winId());
    const Reply<xcb_get_window_attributes_reply_t> attrs(
        xcb_get_window_attributes_reply(conn, xcb_get_window_attributes(conn, id), nullptr));
    const Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(conn, xcb_get_geometry(conn, id), nullptr));
    if (!attrs || !geometry) return;

    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(conn)); it.rem; xcb_screen_next(&it)) {
        const xcb_screen_t& screen = *it.data;
        if (screen.root != geometry->root) continue;
        if (attrs->visual == screen.root_visual && attrs->colormap != screen.default_colormap) {
            const std::uint32_t colormap = screen.default_colormap;
            xcb_change_window_attributes(conn, id, XCB_CW_COLORMAP, &colormap);
            xcb_flush(conn);
        }
        return;
    }
}

#else

void useDefaultColormap(QWidget&) {}

#endif

}  // namespace bellwick
