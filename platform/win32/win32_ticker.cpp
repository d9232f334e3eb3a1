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

void Win32Ticker::schedule(int ms)
{
    // The same id replaces the timer; USER_TIMER_MINIMUM is 10 ms.
    if (const UINT_PTR id = ::SetTimer(nullptr, id_, static_cast<UINT>(ms), &Win32Ticker::timerProc)) id_ = id;
}

void CALLBACK Win32Ticker::timerProc(HWND, UINT, UINT_PTR id, DWORD)
{
    if (!running || id != running->id_) return;
    // One tick: the tick asks for the next.
    ::KillTimer(nullptr, id);
    running->fired();
}

}  // namespace bellwick
