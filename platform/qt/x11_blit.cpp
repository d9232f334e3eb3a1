#include "qt/x11_blit.h"

#include <QGuiApplication>
#include <QWidget>

#ifdef BELLWICK_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace bellwick {

#if defined(BELLWICK_HAVE_XCB) && QT_CONFIG(xcb)

namespace {

// Whether pixels of this depth are 32-bit words in the host's byte order,
// as QImage::Format_RGB32 holds them.
bool takesRgb32(xcb_connection_t* conn, std::uint8_t depth)
{
    const xcb_setup_t* setup = xcb_get_setup(conn);
    constexpr std::uint32_t one = 1;
    const bool hostLsbFirst = *reinterpret_cast<const unsigned char*>(&one) == 1;
    if ((setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST) != hostLsbFirst) return false;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it))
        if (it.data->depth == depth) return depth == 24 && it.data->bits_per_pixel == 32;
    return false;
}

}  // namespace

std::unique_ptr<X11Blit> X11Blit::create(QWidget& window)
{
    if (!qGuiApp || !window.isWindow()) return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* conn = x11 ? x11->connection() : nullptr;
    if (!conn) return nullptr;
    const auto id = static_cast<xcb_window_t>(window.winId());
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(conn, xcb_get_geometry(conn, id), nullptr);
    if (!geometry) return nullptr;
    const std::uint8_t depth = geometry->depth;
    std::free(geometry);
    if (!takesRgb32(conn, depth)) return nullptr;
    return std::unique_ptr<X11Blit>(new X11Blit(conn, id, depth));
}

X11Blit::X11Blit(xcb_connection_t* connection, std::uint32_t window, std::uint8_t depth)
    : connection_(connection), window_(window), depth_(depth)
{
    gc_ = xcb_generate_id(connection_);
    // No GraphicsExpose/NoExpose event per copy: each would wake Qt's
    // event thread.
    const std::uint32_t noExposures = 0;
    xcb_create_gc(connection_, gc_, window_, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
}

X11Blit::~X11Blit()
{
    if (pixmap_) xcb_free_pixmap(connection_, pixmap_);
    xcb_free_gc(connection_, gc_);
    xcb_flush(connection_);
}

void X11Blit::upload(const QImage& picture)
{
    const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
    if (pixels.size() != size_ || !pixmap_) {
        if (pixmap_) xcb_free_pixmap(connection_, pixmap_);
        pixmap_ = xcb_generate_id(connection_);
        size_ = pixels.size();
        xcb_create_pixmap(connection_, depth_, pixmap_, window_, static_cast<std::uint16_t>(size_.width()),
                          static_cast<std::uint16_t>(size_.height()));
    }
    // Format_RGB32 rows are 32-bit aligned, as the server's scanline pad.
    xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap_, gc_, static_cast<std::uint16_t>(size_.width()),
                  static_cast<std::uint16_t>(size_.height()), 0, 0, 0, depth_,
                  static_cast<std::uint32_t>(pixels.sizeInBytes()), pixels.constBits());
}

void X11Blit::copyTo(QPoint at)
{
    if (!pixmap_) return;
    xcb_copy_area(connection_, pixmap_, window_, gc_, 0, 0, static_cast<std::int16_t>(at.x()),
                  static_cast<std::int16_t>(at.y()), static_cast<std::uint16_t>(size_.width()),
                  static_cast<std::uint16_t>(size_.height()));
    xcb_flush(connection_);
}

#else

std::unique_ptr<X11Blit> X11Blit::create(QWidget&) { return nullptr; }
X11Blit::X11Blit(xcb_connection_t* connection, std::uint32_t window, std::uint8_t depth)
    : connection_(connection), window_(window), depth_(depth)
{
}
X11Blit::~X11Blit() = default;
void X11Blit::upload(const QImage&) {}
void X11Blit::copyTo(QPoint) {}

#endif

}  // namespace bellwick
