#pragma once
// The window's paints go through one memory bitmap, kept from paint to
// paint: a device context and bitmap made for each second's clock cost
// Wine a handful of calls to its server, and the font chosen into a new
// context as many again.

#include "win32/handles.h"
#include "win32/win_api.h"

namespace bellwick {

class PaintBuffer {
public:
    PaintBuffer() = default;
    ~PaintBuffer();
    PaintBuffer(const PaintBuffer&) = delete;
    PaintBuffer& operator=(const PaintBuffer&) = delete;

    // A memory context, compatible with like, whose bitmap covers (0,0) to
    // (right,bottom); null when none can be made.
    HDC dc(HDC like, int right, int bottom);
    // Lets go of the context, and so of the objects chosen into it.
    void clear();

private:
    win32::MemoryDc dc_;
    win32::GdiBitmap bitmap_;
    HGDIOBJ original_ = nullptr;  // the context's own bitmap, put back before the ours is deleted
    int width_ = 0, height_ = 0;
};

}  // namespace bellwick
