#include "win32/paint_buffer.h"

#include <algorithm>

namespace bellwick {

PaintBuffer::~PaintBuffer() { clear(); }

void PaintBuffer::clear()
{
    if (dc_ && original_) ::SelectObject(dc_.get(), original_);
    dc_.reset();
    bitmap_.reset();
    original_ = nullptr;
    width_ = height_ = 0;
}

HDC PaintBuffer::dc(HDC like, int right, int bottom)
{
    if (dc_ && right <= width_ && bottom <= height_) return dc_.get();
    const int width = std::max(right, width_), height = std::max(bottom, height_);
    if (!dc_) dc_.reset(::CreateCompatibleDC(like));
    win32::GdiBitmap bitmap(dc_ ? ::CreateCompatibleBitmap(like, width, height) : nullptr);
    if (!bitmap) return nullptr;
    const HGDIOBJ previous = ::SelectObject(dc_.get(), bitmap.get());
    if (!original_) original_ = previous;
    bitmap_ = std::move(bitmap);
    width_ = width;
    height_ = height;
    return dc_.get();
}

}  // namespace bellwick
