#pragma once
// The window's pictures: decoded once by the Windows Imaging Component into
// 32-bit bitmaps with premultiplied alpha, drawn with AlphaBlend so that
// see-through pixels stay see-through.

#include "win32/handles.h"
#include "win32/win_api.h"

#include <objbase.h>

#include <cstddef>
#include <span>
#include <string_view>
#include <utility>

namespace bellwick {

class Picture {
public:
    Picture() = default;
    Picture(win32::GdiBitmap bitmap, int width, int height)
        : bitmap_(std::move(bitmap)), width_(width), height_(height)
    {
    }

    bool empty() const { return bitmap_ == nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    HBITMAP bitmap() const { return bitmap_.get(); }

    // Draws the picture at its own size with its top-left corner at (x, y);
    // throws std::runtime_error when GDI has no memory context for it.
    void draw(HDC dc, int x, int y) const;

private:
    win32::GdiBitmap bitmap_;
    int width_ = 0, height_ = 0;
};

// Decodes an image file's bytes (GIF, JPEG, BMP, PNG), scaled to width x
// height when both are given. Throws std::runtime_error naming the step
// that failed. COM must be initialised on the calling thread (CoInitializeEx).
Picture decodePicture(std::span<const std::byte> bytes, int width = 0, int height = 0);

// The bytes of the program's RCDATA resource of that name (a picture's file
// name, any case); empty when there is none.
std::span<const std::byte> resourceBytes(std::string_view name);

}  // namespace bellwick
