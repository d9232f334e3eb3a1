#pragma once
// A picture kept on the X server and copied into a window: each repaint is
// then one small request, the picture goes over the socket only when it
// changes. Only where the window's depth takes 32-bit RGB pixels as they
// lie in a QImage (the usual depth 24); elsewhere create() gives nullptr.

#include <QImage>
#include <QPoint>

#include <cstdint>
#include <memory>

class QWidget;
struct xcb_connection_t;

namespace bellwick {

class X11Blit {
public:
    static std::unique_ptr<X11Blit> create(QWidget& window);
    ~X11Blit();
    X11Blit(const X11Blit&) = delete;
    X11Blit& operator=(const X11Blit&) = delete;

    // Replaces the picture.
    void upload(const QImage& picture);
    // Copies it into the window with its top-left corner at `at`.
    void copyTo(QPoint at);

private:
    X11Blit(xcb_connection_t* connection, std::uint32_t window, std::uint8_t depth);

    xcb_connection_t* connection_;
    std::uint32_t window_;
    std::uint8_t depth_;
    std::uint32_t pixmap_ = 0;
    std::uint32_t gc_ = 0;
    QSize size_;
};

}  // namespace bellwick
