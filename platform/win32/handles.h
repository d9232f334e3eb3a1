#pragma once
// One owner for every handle this layer makes: a unique_ptr whose deleter
// is the call that frees that kind of handle. Kernel handles use null for
// none: one from CreateFileW is kept only when not INVALID_HANDLE_VALUE.

#include "win32/win_api.h"

#include <cstddef>
#include <memory>
#include <type_traits>

namespace bellwick::win32 {

template <class H, auto Free>
struct HandleFree {
    using pointer = H;
    void operator()(H h) const noexcept { Free(h); }
};

template <class H, auto Free>
using Handle = std::unique_ptr<std::remove_pointer_t<H>, HandleFree<H, Free>>;

// A thread timer's id, which SetTimer gives without a window.
struct TimerId {
    UINT_PTR id = 0;
    TimerId(std::nullptr_t = nullptr) {}
    explicit TimerId(UINT_PTR value) : id(value) {}
    explicit operator bool() const { return id != 0; }
    friend bool operator==(TimerId, TimerId) = default;
};

inline void deleteGdiObject(HGDIOBJ h) { ::DeleteObject(h); }
inline void deleteDc(HDC h) { ::DeleteDC(h); }
inline void closeKernelHandle(HANDLE h) { ::CloseHandle(h); }
inline void destroyWindow(HWND h) { ::DestroyWindow(h); }
inline void killThreadTimer(TimerId t) { ::KillTimer(nullptr, t.id); }
inline void closeRegistryKey(HKEY h) { ::RegCloseKey(h); }

using GdiFont = Handle<HFONT, &deleteGdiObject>;
using GdiBrush = Handle<HBRUSH, &deleteGdiObject>;
using GdiBitmap = Handle<HBITMAP, &deleteGdiObject>;
using GdiRegion = Handle<HRGN, &deleteGdiObject>;
using MemoryDc = Handle<HDC, &deleteDc>;
using KernelHandle = Handle<HANDLE, &closeKernelHandle>;
using OwnedWindow = Handle<HWND, &destroyWindow>;
using ThreadTimer = Handle<TimerId, &killThreadTimer>;
using RegistryKey = Handle<HKEY, &closeRegistryKey>;

// An object selected into a device context until the end of the scope.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
    ~Selection() { ::SelectObject(dc_, old_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// BeginPaint to EndPaint, however the paint ends.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd), dc_(::BeginPaint(hwnd, &ps_)) {}
    ~PaintScope() { ::EndPaint(hwnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const { return dc_; }
    const RECT& area() const { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

}  // namespace bellwick::win32
