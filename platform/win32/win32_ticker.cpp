#include "win32/win32_ticker.h"

namespace bellwick {

namespace {

Win32Ticker* running = nullptr;

}  // namespace

Win32Ticker::Win32Ticker() { running = this; }

Win32Ticker::~Win32Ticker()
{
    if (id_) ::KillTimer(nullptr, id_);
    running = nullptr;
}

void Win32Ticker::set(int ms)
{
    // The same id replaces the timer; USER_TIMER_MINIMUM is 10 ms.
    if (const UINT_PTR id = ::SetTimer(nullptr, id_, static_cast<UINT>(ms), &Win32Ticker::fired)) id_ = id;
}

void Win32Ticker::start(int firstMs, int everyMs)
{
    every_ = everyMs;
    offset_ = true;
    set(firstMs);
}

void CALLBACK Win32Ticker::fired(HWND, UINT, UINT_PTR id, DWORD)
{
    Win32Ticker* self = running;
    if (!self || id != self->id_) return;
    if (self->offset_) {
        self->offset_ = false;
        self->set(self->every_);
    }
    // Last: the tick may start the timer anew.
    if (self->tick_) self->tick_();
}

}  // namespace bellwick
